#!/usr/bin/env bash
# Configures (once) and builds the host and/or Windows trees incrementally.
# Usage: build.sh [host|win32|win64|windows|bench|all] [ninja targets...]
#   windows: the Windows tree of this machine's runtime (see env.sh)
#   win32 first builds the 64-bit modules Setup.exe carries (in out/win64)
set -euo pipefail
source "$(dirname "$0")/env.sh"
which=${1:-all}; shift || true
# Paths below the checkout are hashed relative to it, so every clone and
# worktree of the project shares one compiler cache.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
configure() {  # dir, cmake args...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  fi
}
build_host() {
  configure "$HOST_BUILD" -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
  cmake --build "$HOST_BUILD" -- "$@"
}
# The 64-bit modules that Setup.exe carries beside the 32-bit suite.
SETUP_X64_TARGETS=(TalvoroPelloquin Pixmorph)
build_win32() {
  build_win64 "${SETUP_X64_TARGETS[@]}"
  configure "$WIN32_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32-toolchain.cmake"
  cmake --build "$WIN32_BUILD" -- "$@"
}
build_win64() {
  configure "$WIN64_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw64-toolchain.cmake"
  cmake --build "$WIN64_BUILD" -- "$@"
}
build_bench() {
  configure "$OUT/bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCHMARKS=ON
  cmake --build "$OUT/bench" -- "$@"
}
case $which in
  host) build_host "$@" ;;
  win32) build_win32 "$@" ;;
  win64) build_win64 "$@" ;;
  windows) "build_$WINE_ARCH" "$@" ;;
  bench) build_bench "$@" ;;
  all) build_host; build_win32; [ "$WINE_ARCH" = win32 ] || build_win64 ;;
  *) echo "usage: build.sh [host|win32|win64|windows|bench|all]" >&2; exit 2 ;;
esac
