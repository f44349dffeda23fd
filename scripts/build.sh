#!/usr/bin/env bash
# Configures and builds CELVIO into BUILD_DIR (default: build/ in the project).
# Extra arguments go to CMake's configure step (for example -DCELVIO_SANITIZE=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
# ccache, when the machine has it, keeps repeated builds of the same sources short.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
