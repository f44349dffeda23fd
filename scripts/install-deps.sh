#!/usr/bin/env bash
# Installs the Debian 12 packages that CELVIO needs to build, test and run, when
# they are missing. Needs root (or sudo) only when something has to be installed.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-serialport-dev libqt6serialport6-dev
  qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
  libpq-dev postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps netpbm poppler-utils fonts-liberation fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
