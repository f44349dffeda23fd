#!/bin/sh
# Regenerates the station pictures in data/station/.
#
#   scripts/make-pictures.sh [OUTDIR]
#
# Builds celvio-pictures on its own (in build/pictures, or in
# $CELVIO_PICTURES_BUILD) when needed and runs it without a display.
# The output only depends on the program and the installed fonts, so running
# it twice gives identical files.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${CELVIO_PICTURES_BUILD:-"$root/build/pictures"}
outdir=${1:-"$root/data/station"}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root/scripts" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target celvio-pictures

mkdir -p "$outdir"
QT_QPA_PLATFORM=offscreen "$build/celvio-pictures" "$outdir"
