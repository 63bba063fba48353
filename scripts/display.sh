# Sourced: gives the caller a display. Uses $DISPLAY when one answers, otherwise starts
# Xvfb on a free number and stops it (by process id) when the caller exits.
start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT
    return 0
  done
  echo "no free display number for Xvfb" >&2
  return 1
}
