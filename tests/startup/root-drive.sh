#!/usr/bin/env bash
# Maps the drive letter $ROOT_DRIVE of the Wine prefix to the scratch folder $ROOT_FOLDER
# (setup), or removes the mapping and the folder (cleanup). A letter taken by something
# else is left alone.
set -euo pipefail
: "${WINEPREFIX:?}" "${ROOT_DRIVE:?}" "${ROOT_FOLDER:?}"
link="$WINEPREFIX/dosdevices/${ROOT_DRIVE,,}"
ours() { [ -L "$link" ] && [ "$(readlink "$link")" = "$ROOT_FOLDER" ]; }
case "${1:-}" in
  setup)
    if [ -e "$link" ] || [ -L "$link" ]; then
      ours || { echo "drive $ROOT_DRIVE is already mapped in $WINEPREFIX" >&2; exit 1; }
    fi
    rm -rf "$ROOT_FOLDER"
    mkdir -p "$ROOT_FOLDER"
    ln -sfn "$ROOT_FOLDER" "$link"
    ;;
  cleanup)
    if ours; then rm -f "$link"; fi
    rm -rf "$ROOT_FOLDER"
    ;;
  *) echo "usage: $0 setup|cleanup" >&2; exit 2 ;;
esac
