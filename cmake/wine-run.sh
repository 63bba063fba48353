#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix.
# HUSHLINE_WINEPREFIX overrides the prefix; the display is $DISPLAY as given.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${HUSHLINE_WINEPREFIX:-${WINEPREFIX:-$PWD/wineprefix}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine cmd /c echo >/dev/null 2>&1 || true
fi
exec wine "$@"
