#!/usr/bin/env bash
# Configures and builds Hushline for HUSHLINE_ARCH (i686, the default and what ships, or
# x86_64) into $BUILD_DIR, by default build/ for i686 and build/x86_64 for x86-64.
# Further arguments go to CMake's configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${HUSHLINE_ARCH:-i686}
case "$arch" in
  i686) build=${BUILD_DIR:-$root/build} ;;
  x86_64) build=${BUILD_DIR:-$root/build/x86_64} ;;
  *) echo "HUSHLINE_ARCH must be i686 or x86_64, not '$arch'" >&2; exit 1 ;;
esac
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" "$@" >/dev/null
cmake --build "$build"
