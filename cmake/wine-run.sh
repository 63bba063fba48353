#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, with the loader that
# HUSHLINE_ARCH picks. HUSHLINE_WINEPREFIX overrides the prefix; the display is $DISPLAY as given.
set -euo pipefail
export WINEPREFIX=${HUSHLINE_WINEPREFIX:-${WINEPREFIX:-$PWD/wineprefix}}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
source "$(dirname "$0")/../scripts/wine.sh"
[ -f "$WINEPREFIX/system.reg" ] || wine_prefix_init
exec "$HUSHLINE_WINE" "$@"
