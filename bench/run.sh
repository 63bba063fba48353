#!/usr/bin/env bash
# Benchmarks Hushline against the bare Win32 baseline under Wine: builds if need be, runs
# both programs in turn BENCH_RUNS times each (default 10) in a Wine prefix of its own, and
# writes the figures to <build>/bench/results.txt. Uses $DISPLAY when one answers, else Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${BENCH_RUNS:-10}

"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh"
source "$root/scripts/display.sh"
start_display

work=$build/bench/run
mkdir -p "$work"
export WINEPREFIX=$build/bench/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One server for the whole session, so that each start pays only for the program's own start.
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # already running is fine
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
[ -f "$WINEPREFIX/system.reg" ] || wine cmd /c echo >/dev/null 2>&1 || true

# Both programs run as released: stripped of their symbol tables.
product=$build/main_window/Hushline.exe
baseline=$build/bench/hushline_baseline.exe
for exe in "$product" "$baseline"; do
  i686-w64-mingw32-strip -o "$work/$(basename "$exe")" "$exe"
done

win() { winepath -w "$1" 2>/dev/null; }
wine "$build/bench/bench_probe.exe" \
  --hook "$(win "$build/bench/benchhook.dll")" \
  --out "$(win "$build/bench/results.txt")" \
  --runs "$runs" \
  --program Hushline "$(win "$work/Hushline.exe")" "$(win "$product")" \
  --program baseline "$(win "$work/hushline_baseline.exe")" "$(win "$baseline")"
echo "figures written to $build/bench/results.txt"
