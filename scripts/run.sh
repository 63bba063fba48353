#!/usr/bin/env bash
# Sets up, builds and runs Hushline under Wine: the 32-bit program where this host runs
# 32-bit x86 code, the same sources built for x86-64 otherwise. On $DISPLAY when there is
# one, otherwise on Xvfb, leaving a screenshot in build/hushline.png. Runs in the project's
# own prefix, build/wineprefix-run, unless HUSHLINE_WINEPREFIX names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
source "$root/scripts/host.sh"
host_check_32bit
build=${BUILD_DIR:-$root/build}
# What ships is built on every host.
BUILD_DIR=$build "$root/scripts/build.sh" -DBUILD_TESTING=OFF
export HUSHLINE_ARCH
HUSHLINE_ARCH=$(host_run_arch)
if [ "$HUSHLINE_ARCH" = i686 ]; then
  exe=$build/main_window/Hushline.exe
  echo "running the 32-bit Hushline, $exe"
else
  BUILD_DIR=$build/x86_64 "$root/scripts/build.sh" -DBUILD_TESTING=OFF
  exe=$build/x86_64/main_window/Hushline.exe
  echo "running the x86-64 build of Hushline, $exe: $HOST_32BIT_REASON"
fi

source "$root/scripts/display.sh"
headless=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then headless=1; fi
start_display
export WINEPREFIX=${HUSHLINE_WINEPREFIX:-$build/wineprefix-run-$HUSHLINE_ARCH}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
source "$root/scripts/wine.sh"
[ -f "$WINEPREFIX/system.reg" ] || wine_prefix_init
# On our own Xvfb there is no window manager: Wine draws the frames itself.
managed=Y
[ -z "$headless" ] || managed=N
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 ||
  echo "(could not set Wine's window management to $managed)" >&2
if [ -n "$headless" ]; then
  "$HUSHLINE_WINE" "$exe" &
  app=$!
  sleep 8
  import -window root "$build/hushline.png"
  echo "Hushline is running on $DISPLAY; screenshot: $build/hushline.png"
  kill "$app" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
else
  exec "$HUSHLINE_WINE" "$exe"
fi
