#!/usr/bin/env bash
# Configures and builds CELVIO into BUILD_DIR (default: build/ in the project).
# Extra arguments go to CMake's configure step (for example -DCELVIO_SANITIZE=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
# ccache, when the machine has it (and CCACHE_DISABLE does not switch it off), keeps
# repeated builds of the same sources short. Without it the Qt and GoogleTest headers
# are precompiled, which makes the one build about a third shorter; with it they are
# not, as ccache would hash the large precompiled headers again for every file.
launcher=()
pch=(-DCELVIO_PCH=ON)
if [ -z "${CCACHE_DISABLE:-}" ] && command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  pch=(-DCELVIO_PCH=OFF)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "${pch[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
