#!/usr/bin/env bash
# Creates the tests' Wine prefix and keeps its server running (start), or ends it (stop).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case "${1:-}" in
  start)
    mkdir -p "$WINEPREFIX"
    wineserver -p
    # A first command creates the prefix; one made by wineboot -i would never start services.
    wine cmd /c echo prefix ready
    ;;
  stop)
    wineserver -k || true
    ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
