#!/usr/bin/env bash
# Benchmarks Hushline against the bare Win32 baseline under Wine: builds if need be, runs
# both programs in turn BENCH_RUNS times each (default 10) in a Wine prefix of its own, and
# writes the figures to <build>/bench/results.txt. Uses $DISPLAY when one answers, else Xvfb.
# Measures the 32-bit build where this host runs 32-bit x86 code, the x86-64 build otherwise.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${BENCH_RUNS:-10}

"$root/scripts/setup.sh"
source "$root/scripts/host.sh"
host_check_32bit
export HUSHLINE_ARCH
HUSHLINE_ARCH=$(host_run_arch)
build=${BUILD_DIR:-$root/build}
[ "$HUSHLINE_ARCH" = i686 ] || build=$build/x86_64
if [ "$HUSHLINE_ARCH" = i686 ]; then
  echo "benchmarking the 32-bit build"
else
  echo "benchmarking the x86-64 build: $HOST_32BIT_REASON"
fi
BUILD_DIR=$build "$root/scripts/build.sh"
source "$root/scripts/display.sh"
start_display

work=$build/bench/run
mkdir -p "$work"
export WINEPREFIX=$build/bench/wineprefix
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$root/scripts/wine.sh"
# One server for the whole session, so that each start pays only for the program's own start.
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # already running is fine
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
[ -f "$WINEPREFIX/system.reg" ] || wine_prefix_init

# Both programs run as released: stripped of their symbol tables.
product=$build/main_window/Hushline.exe
baseline=$build/bench/hushline_baseline.exe
for exe in "$product" "$baseline"; do
  "$HUSHLINE_ARCH-w64-mingw32-strip" -o "$work/$(basename "$exe")" "$exe"
done

win() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
wine "$build/bench/bench_probe.exe" \
  --hook "$(win "$build/bench/benchhook.dll")" \
  --out "$(win "$build/bench/results.txt")" \
  --runs "$runs" \
  --program Hushline "$(win "$work/Hushline.exe")" "$(win "$product")" \
  --program baseline "$(win "$work/hushline_baseline.exe")" "$(win "$baseline")"
echo "figures written to $build/bench/results.txt"
