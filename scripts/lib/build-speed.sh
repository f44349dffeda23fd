# Shared by the scripts that configure a build (build.sh, fuzz.sh): how to make a build
# short on this machine. Source it; it sets the array `build_speed` of CMake options.
#
# With ccache (unless CCACHE_DISABLE is set) the compiler runs through it, file by file,
# so that a repeated build of the same sources takes seconds.
# Without it (a fresh machine, or a cold measurement), the Qt and GoogleTest headers are
# precompiled and each library's or test program's files are compiled together in a few
# units (CMake's unity build), so that the large headers are read a few times per target
# instead of once per file: a build from nothing takes about 40 % of the time. Neither is
# used with ccache: gcc's precompiled QtCore is 160 MB, which ccache hashes again for every
# file, and a unit of several files misses the cache whenever one of them changed.
build_speed=()
if [ -z "${CCACHE_DISABLE:-}" ] && command -v ccache >/dev/null; then
  build_speed=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCELVIO_PCH=OFF -DCMAKE_UNITY_BUILD=OFF)
else
  build_speed=(-UCMAKE_CXX_COMPILER_LAUNCHER -DCELVIO_PCH=ON -DCMAKE_UNITY_BUILD=ON)
fi
