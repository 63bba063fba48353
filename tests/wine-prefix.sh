#!/usr/bin/env bash
# Creates the tests' Wine prefix and keeps its server running (start), or ends it (stop).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case "${1:-}" in
  start)
    mkdir -p "$WINEPREFIX"
    # Detached from our output, or CTest would wait for the server to close it.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    # A first command creates the prefix; one made by wineboot -i would never start services.
    wine cmd /c echo prefix ready </dev/null 2>/dev/null
    # Unmanaged windows: with no window manager on the test display, Wine would otherwise
    # wait two seconds for each hidden window to be withdrawn, and draw no frames.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k || true
    ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
