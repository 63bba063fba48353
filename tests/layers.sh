#!/usr/bin/env bash
# The layering of the program's folders, checked on their includes: each folder may include
# only itself and the folders listed for it, so no subsystem reaches up or sideways.
# Usage: layers.sh SOURCE_DIR
set -euo pipefail
cd "$1"

declare -A allowed=(
  [runtime]="runtime"
  [skin]="runtime skin"
  [resources]="runtime skin resources"
  [tray]="runtime skin resources tray"
  [help_window]="runtime skin resources help_window"
  [main_window]="runtime skin resources tray help_window main_window"
)
project_folders="${!allowed[*]}"

status=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line target; do
    # Only includes of the program's own folders are ruled; <...> and generated headers pass.
    [[ " $project_folders " == *" $target "* ]] || continue
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "$file:$line: $folder/ may not include $target/"
      status=1
    fi
  done < <(grep -rnoE --include='*.cpp' --include='*.h' --include='*.rc' '^\s*#\s*include\s*"[a-z_]+/' "$folder" |
           sed -E 's|^([^:]+):([0-9]+):.*"([a-z_]+)/$|\1:\2:\3|')
done
[ "$status" -eq 0 ] && echo "every folder includes only the layers beneath it"
exit "$status"
