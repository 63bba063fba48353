#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite under Wine, twice: the i686 build (what
# ships) where this host runs 32-bit x86 code, and the x86-64 build always, each in its own
# build folder with its own Wine prefixes. HUSHLINE_HOST_RUNS_32BIT=0 forces the 64-bit-only
# path. Arguments go to both CTest runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
source "$root/scripts/host.sh"
host_check_32bit
source "$root/scripts/display.sh"
start_display

build=${BUILD_DIR:-$root/build}
declare -A dirs=([i686]=$build [x86_64]=$build/x86_64)
results=()
status=0
for arch in i686 x86_64; do
  runs=1
  [ "$arch" = x86_64 ] || [ "$HOST_RUNS_32BIT" = 1 ] || runs=0
  testing=ON
  [ $runs = 1 ] || testing=OFF
  [ $runs = 0 ] || echo "== $arch run, in ${dirs[$arch]}"
  HUSHLINE_ARCH=$arch BUILD_DIR=${dirs[$arch]} "$root/scripts/build.sh" -DBUILD_TESTING=$testing
  if [ "$arch" = i686 ]; then
    # What ships is built, and stays 32-bit, on every host.
    for exe in "$build/main_window/Hushline.exe" "$build/installer/Hushline-setup.exe"; do
      i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' ||
        { echo "$exe is not a 32-bit Windows program" >&2; exit 1; }
    done
  fi
  if [ $runs = 0 ]; then
    results+=("i686 run: skipped, $HOST_32BIT_REASON")
    echo "${results[-1]}"
  # A test that fails is run once more: Wine now and then fails a process start with an
  # internal error that no program of ours causes. Both outcomes stay in the log.
  elif (cd "${dirs[$arch]}" && ctest --output-on-failure --timeout 600 --repeat until-pass:2 "$@"); then
    results+=("$arch run: passed")
  else
    results+=("$arch run: FAILED")
    status=1
  fi
done
printf '%s\n' "${results[@]}"
exit $status
