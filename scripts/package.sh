#!/usr/bin/env bash
# Builds the Debian package of CELVIO: build-package/celvio_<version>_amd64.deb.
# Install it with: apt-get install ./build-package/celvio_<version>_amd64.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
command -v dpkg-shlibdeps >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq dpkg-dev >/dev/null
build="${BUILD_DIR:-$root/build-package}"
BUILD_DIR="$build" BUILD_TYPE=Release "$root/scripts/build.sh" -DCELVIO_BUILD_BENCH=OFF -DCELVIO_BUILD_TESTS=OFF
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/celvio_*_amd64.deb
