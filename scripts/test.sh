#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build=${BUILD_DIR:-$root/build}
BUILD_DIR=$build "$root/scripts/build.sh" -DBUILD_TESTING=ON
source "$root/scripts/display.sh"
start_display
cd "$build"
ctest --output-on-failure --timeout 600 "$@"
