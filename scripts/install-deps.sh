#!/usr/bin/env bash
# Installs the Debian 12 packages that CELVIO needs to build, test and run, when
# they are missing. Needs root (or sudo) only when something has to be installed.
# With --tests it also installs what only the test command needs (clang with its sanitizer
# and fuzzer runtimes, for the sanitizer and fuzz build) and generates the locales the
# tests start programs under.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-serialport-dev qt6-l10n-tools qt6-tools-dev
  qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
  libpq-dev libsqlite3-dev libssl-dev postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps netpbm poppler-utils fonts-liberation fonts-dejavu-core
  locales
)
test_packages=(clang-14 libclang-rt-14-dev)
if [ "${1:-}" = "--tests" ]; then packages+=("${test_packages[@]}"); fi

# The locales of shops that the tests start programs under (dates with the day or the
# month first); a plain Debian install has only C and C.UTF-8. Qt carries its own
# locale data, so the tests pass without them; with them the C library agrees.
test_locales=(de_DE en_US en_GB)

# Generates the test locales that the C library does not have yet.
generate_locales() {
  local have name
  have="$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')"
  for name in "${test_locales[@]}"; do
    if ! grep -qx "$(echo "$name.utf8" | tr 'A-Z' 'a-z')" <<<"$have"; then
      echo "install-deps: generating locale $name.UTF-8"
      $sudo localedef -i "$name" -f UTF-8 "$name.UTF-8"
    fi
  done
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
else
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "${1:-}" = "--tests" ]; then generate_locales; fi
