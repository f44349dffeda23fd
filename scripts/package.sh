#!/usr/bin/env bash
# Builds the Debian package of CELVIO, build-package/celvio_<version>-<revision>_amd64.deb,
# with its debug information in celvio-dbgsym_<version>-<revision>_amd64.ddeb, then checks
# it as Debian checks its own packages: lintian (no error, no warning), the AppStream
# data (appstreamcli validate) and the desktop entry (desktop-file-validate). Any of them
# failing fails the script.
# Install the package with: apt-get install ./build-package/celvio_<version>-<revision>_amd64.deb
# CELVIO_MAINTAINER="Name <address>" sets the package's Maintainer field.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

# The packaging and checking tools, when missing.
tools=()
command -v dpkg-shlibdeps >/dev/null || tools+=(dpkg-dev)
command -v lintian >/dev/null || tools+=(lintian)
command -v appstreamcli >/dev/null || tools+=(appstream)
command -v desktop-file-validate >/dev/null || tools+=(desktop-file-utils)
if [ ${#tools[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${tools[@]}" >/dev/null
fi

build="${BUILD_DIR:-$root/build-package}"
maintainer=()
[ -z "${CELVIO_MAINTAINER:-}" ] || maintainer=(-DCELVIO_MAINTAINER="$CELVIO_MAINTAINER")
# Optimised with debug information (-O2 -g, as Debian builds): the package's binaries
# are stripped, and the debug information goes into the -dbgsym package.
BUILD_DIR="$build" BUILD_TYPE=RelWithDebInfo "$root/scripts/build.sh" \
  -DCELVIO_BUILD_BENCH=OFF -DCELVIO_BUILD_TESTS=OFF -DCELVIO_HARDEN=ON "${maintainer[@]}"
rm -f "$build"/celvio_*.deb "$build"/celvio-dbgsym_*.ddeb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/celvio_*_amd64.deb)"
ddeb="$(ls "$build"/celvio-dbgsym_*_amd64.ddeb)"
ls "$deb" "$ddeb"

echo "== lintian $(basename "$deb") $(basename "$ddeb")"
lintian --fail-on error,warning --display-info --pedantic "$deb" "$ddeb"

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
echo "== appstreamcli validate"
for metainfo in "$tree"/usr/share/metainfo/*.metainfo.xml; do
  appstreamcli validate --no-net --pedantic "$metainfo"
done
echo "== desktop-file-validate"
for entry in "$tree"/usr/share/applications/*.desktop; do
  # It ends with 0 on warnings: any message at all counts as a failure here.
  problems="$(desktop-file-validate "$entry" 2>&1)" || true
  if [ -n "$problems" ]; then
    echo "$problems"
    exit 1
  fi
  echo "$(basename "$entry"): valid"
done
echo "package: $deb checked"
