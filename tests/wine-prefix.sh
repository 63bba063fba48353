#!/usr/bin/env bash
# Creates the tests' Wine prefix and keeps its server running (start), or ends it (stop).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "$0")/../scripts/wine.sh"
case "${1:-}" in
  start)
    mkdir -p "$WINEPREFIX"
    # Detached from our output, or CTest would wait for the server to close it.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    wine_prefix_init
    # Unmanaged windows: with no window manager on the test display, Wine would otherwise
    # wait two seconds for each hidden window to be withdrawn, and draw no frames.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
      { echo "Wine could not mark windows unmanaged in $WINEPREFIX" >&2; exit 1; }
    ;;
  stop)
    wineserver -k || true
    ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
