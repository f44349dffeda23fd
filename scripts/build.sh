#!/usr/bin/env bash
# Configures and builds CELVIO into BUILD_DIR (default: build/ in the project).
# Extra arguments go to CMake's configure step (for example -DCELVIO_SANITIZE=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
. "$root/scripts/lib/build-speed.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${build_speed[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
