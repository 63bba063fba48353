# Sourced: Wine for one build of Hushline. HUSHLINE_ARCH (i686, the default, or x86_64) pins
# the prefix architecture and picks the loader; `wine` and `winepath` then run that loader.
# The x86-64 build calls Wine's 64-bit loader directly: Debian's `wine` wrapper prefers the
# 32-bit loader whenever it is installed.
case "${HUSHLINE_ARCH:-i686}" in
  i686)
    export WINEARCH=win32
    HUSHLINE_WINE=wine
    ;;
  x86_64)
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    HUSHLINE_WINE=$WINELOADER
    ;;
  *) echo "HUSHLINE_ARCH must be i686 or x86_64, not '$HUSHLINE_ARCH'" >&2; return 1 ;;
esac
export WINEDEBUG=${WINEDEBUG:--all}

wine() { "$HUSHLINE_WINE" "$@"; }
winepath() { "$HUSHLINE_WINE" winepath.exe "$@"; }

# Creates $WINEPREFIX with a first command (a prefix made by `wineboot -i` never starts new
# services). When Wine can't start, prints its own error and one line saying so, and fails.
wine_prefix_init() {
  : "${WINEPREFIX:?}"
  mkdir -p "$WINEPREFIX"
  # To a file, not a pipe: the processes Wine leaves running would hold a pipe open.
  local log=$WINEPREFIX.first-start.log
  if ! wine cmd /c echo prefix ready </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    echo "Wine ($HUSHLINE_WINE, $WINEARCH) cannot start in $WINEPREFIX: $(tail -n 1 "$log")" >&2
    return 1
  fi
  rm -f "$log"
}
