#!/usr/bin/env bash
# End-to-end acceptance of Hushline under Wine, run by CTest:
#   e2e.sh setup      fresh prefix, the "messenger" test service, the program folder, the desktop
#   e2e.sh <scenario> one scenario against the real Hushline.exe (see the scenario_ functions)
#   e2e.sh cleanup    ends the prefix's server and every process of it
# The display is $DISPLAY as CTest gives it. Wine runs a virtual desktop named "shell", which
# is Wine's desktop with a taskbar and its notification area; without a window manager or a
# tray of the X server's own, this is what gives the program a notification area.
set -euo pipefail

: "${E2E_DIR:?}" "${E2E_ARTIFACTS:?}" "${E2E_HUSHLINE:?}" "${E2E_DRIVER:?}" "${E2E_SERVICE:?}"
export WINEPREFIX=$E2E_DIR/prefix
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "$0")/../../scripts/wine.sh"
state=$E2E_DIR/state
drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Hushline"
win_program_dir='C:\Program Files\Hushline'
win_exe="$win_program_dir\\Hushline.exe"
win_driver='C:\e2e\driver.exe'
win_url_log='C:\e2e\urls.txt'
desktop_size=1024x768

scenario=${1:?usage: e2e.sh setup|cleanup|<scenario>}

log() { printf '%s\n' "$*"; }

# screenshot name: the screen as Wine composes it, as <artifacts>/name.png.
screenshot() {
  mkdir -p "$E2E_ARTIFACTS"
  if drive screenshot 'C:\e2e\screen.png' >/dev/null &&
    convert "$drive_c/e2e/screen.png" "$E2E_ARTIFACTS/$1.png" 2>/dev/null; then
    return 0
  fi
  log "(no screenshot $1)"
}

fail() {
  log "FAILED in $scenario: $*"
  screenshot "$scenario-failed"
  log "screenshot: $E2E_ARTIFACTS/$scenario-failed.png"
  log "windows on the desktop then:"
  drive windows || true
  exit 1
}

# quiet command...: runs a Wine command with none of our descriptors; its output, if any,
# goes to $state/out. Every Wine process may start others that outlive it (the desktop, the
# program, the server keeps what it is given), and any of them holding CTest's output pipe
# would make CTest wait for the end of the prefix.
close_fds() {
  local fd
  for fd in /proc/$BASHPID/fd/*; do
    fd=${fd##*/}
    [ "$fd" -gt 2 ] && eval "exec $fd>&-" 2>/dev/null
  done
  return 0
}
quiet() { (close_fds && "$@") >"${quiet_out:-$state/out}" 2>&1 </dev/null; }

# The driver, a Windows program in the prefix; its address is also the stand-in browser's.
drive() {
  local rc=0
  E2E_URL_LOG=$win_url_log quiet wine "$win_driver" "$@" || rc=$?
  tr -d '\r\0' <"${quiet_out:-$state/out}"
  return $rc
}

# step "what the user does or sees" driver-arguments...: runs one driver command, and on
# failure says which step it was and what the driver saw.
step() {
  local what=$1 out
  shift
  log "- $what"
  if ! out=$(drive "$@" 2>&1); then
    fail "$what"$'\n'"$out"
  fi
  [ -z "$out" ] || log "$out"
}

# The pointer: the suite moves the X display's real pointer within the Wine desktop's window,
# where the driver says, as a hand would; Wine's cursor follows it.
desktop_window() {
  local window
  window=$(xdotool search --name ' - Wine desktop$' 2>/dev/null | head -1)
  [ -n "$window" ] || { log "no Wine desktop window on the display"; return 1; }
  printf '%s' "$window"
}

# click "what" button driver-arguments...: clicks with that button (1 left, 3 right) where the
# driver's locate command says.
click() {
  local what=$1 button=$2 at window
  shift 2
  log "- $what"
  at=$(drive "$@") || fail "$what"$'\n'"$at"
  window=$(desktop_window) || fail "$what: no Wine desktop window on the display"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $at click "$button" || fail "$what: xdotool could not click"
}

# hover "what" driver-arguments...: brings the pointer to rest where the driver says, coming
# in from just above so that the place sees the pointer arrive.
hover() {
  local what=$1 at x y window
  shift
  log "- $what"
  at=$(drive "$@") || fail "$what"$'\n'"$at"
  read -r x y <<<"$at"
  window=$(desktop_window) || fail "$what: no Wine desktop window on the display"
  xdotool mousemove --window "$window" "$x" $((y - 6)) mousemove --window "$window" "$x" "$y" ||
    fail "$what: xdotool could not move the pointer"
}

# drag "what" pid dx dy: takes the main window by its bare surface with the left button and
# moves the pointer by dx, dy at a hand's pace, in steps; the window must follow exactly.
# Under Wine a move now and then reaches the window twice, which puts it one step ahead until
# the next move; like a hand, the drag comes to rest with a last small move before letting go.
drag() {
  local what=$1 pid=$2 dx=$3 dy=$4 at x y left top window steps=8 i
  log "- $what"
  at=$(drive --pid "$pid" locate-bare) || fail "$what"$'\n'"$at"
  read -r x y <<<"$at"
  IFS=, read -r left top <<<"$(drive --pid "$pid" snapshot | sed -n 's/^  main position: "\(.*\)"$/\1/p')"
  window=$(desktop_window) || fail "$what: no Wine desktop window on the display"
  local moves=()
  for i in $(seq 1 "$steps"); do
    moves+=(sleep 0.03 mousemove --window "$window" $((x + dx * i / steps)) $((y + dy * i / steps)))
  done
  moves+=(sleep 0.2 mousemove --window "$window" $((x + dx + 1)) $((y + dy))
          sleep 0.1 mousemove --window "$window" $((x + dx)) $((y + dy)) sleep 0.2)
  xdotool mousemove --window "$window" "$x" "$y" mousedown 1 "${moves[@]}" mouseup 1 ||
    fail "$what: xdotool could not drag"
  step "the window followed by ($dx, $dy)" --pid "$pid" expect "main position=$((left + dx)),$((top + dy))"
}

# launch var: starts a copy of Hushline from the program folder and puts its Windows process
# id in var.
launch() {
  # The program and the net commands it starts write where the driver wrote.
  quiet_out=$state/program.out drive launch "$win_exe" >"$state/launched" ||
    fail "could not start Hushline: $(cat "$state/launched")"
  local launched
  launched=$(cat "$state/launched")
  printf '%s\n' "$launched" >>"$state/pids"
  printf -v "$1" '%s' "$launched"
}

service_state() { drive snapshot | sed -n 's/^  service: "\(.*\)"$/\1/p'; }

# ---------------------------------------------------------------------------------------
# Setup and cleanup

# Whether pid is still the wineserver that setup started for this prefix: the file may be
# left from an interrupted run, and its number long since given to another process.
is_our_server() {
  local pid=$1
  [[ $pid =~ ^[0-9]+$ ]] || return 1
  case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in */wineserver*) ;; *) return 1 ;; esac
  tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"
}

stop_server() {
  [ -d "$WINEPREFIX" ] && quiet wineserver -k || true
  if [ -f "$state/wineserver.pid" ]; then
    local pid
    pid=$(cat "$state/wineserver.pid")
    for _ in $(seq 50); do
      is_our_server "$pid" || break
      sleep 0.1
    done
    ! is_our_server "$pid" || kill "$pid" 2>/dev/null || true
    rm -f "$state/wineserver.pid"
  fi
}

setup() {
  [ -n "${DISPLAY:-}" ] || { log "no DISPLAY: the suite needs one (Xvfb)"; exit 1; }
  stop_server
  rm -rf "$WINEPREFIX" "$state" "$E2E_ARTIFACTS"
  mkdir -p "$WINEPREFIX" "$state" "$E2E_ARTIFACTS"

  # One persistent server for the whole run: the service lives only as long as it does.
  (close_fds && exec wineserver -f -p) >/dev/null 2>&1 </dev/null &
  printf '%s\n' $! >"$state/wineserver.pid"
  # A first command creates the prefix; services registered in one made by wineboot -i
  # never start.
  (close_fds && wine_prefix_init) </dev/null || fail "Wine cannot start"
  quiet wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f
  quiet wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$desktop_size" /f

  mkdir -p "$drive_c/e2e" "$program_dir"
  cp "$E2E_DRIVER" "$drive_c/e2e/driver.exe"
  cp "$E2E_SERVICE" "$drive_c/e2e/messenger_service.exe"
  cp "$E2E_HUSHLINE" "$program_dir/Hushline.exe"

  quiet wine sc create messenger binPath= 'C:\e2e\messenger_service.exe' ||
    fail "sc could not register the messenger service"
  quiet wine net start messenger || true
  step "the messenger service runs" expect service=running

  step "the program folder gets its shortcut" make-shortcut "$win_program_dir\\Hushline.lnk" "$win_exe"
  cp "$program_dir/Hushline.lnk" "$state/Hushline.lnk"

  # The stand-in browser: web addresses open by noting them in the log.
  local class
  for class in http https; do
    quiet wine reg add "HKCR\\$class\\shell\\open\\command" /ve /d "\"$win_driver\" record-url $win_url_log \"%1\"" /f
  done

  local startup
  startup=$(drive startup-folder) || fail "no Startup folder"
  winepath -u "$startup" >"$state/startup_dir"
  [ -n "$(cat "$state/startup_dir")" ] || fail "winepath gave no Unix path for $startup"
  step "the desktop with its notification area is up" expect 'notification area=present' 'tray icons=0'
  screenshot setup
  log "prefix $WINEPREFIX ready; Startup folder $startup"
}

cleanup() {
  stop_server
}

# Each scenario starts alike: no copy of the program running, the service running as
# Windows leaves it at boot, the shortcut in the program folder, none in the Startup folder.
reset() {
  if [ -s "$state/pids" ]; then
    # shellcheck disable=SC2046
    drive kill $(tr -d '\r' <"$state/pids") || true
    : >"$state/pids"
  fi
  cp "$state/Hushline.lnk" "$program_dir/Hushline.lnk"
  local startup_dir
  startup_dir=$(cat "$state/startup_dir")
  [ -n "$startup_dir" ] || fail "no Startup folder was saved at setup"
  rm -f "$startup_dir/Hushline.lnk" "$drive_c/e2e/urls.txt"
  if [ "$(service_state)" != running ]; then
    quiet wine net start messenger || true
  fi
  step "no copy runs and the service runs" expect 'main windows=0' 'help windows=0' service=running
  step "the notification area shows no icon" expect 'tray icons=0'
}

# The end of a scenario: its picture, then "Exit" and the process gone.
finish() {
  local pid=$1
  screenshot "$scenario"
  click "Exit ends the program" 1 --pid "$pid" locate Exit
  step "the process has ended" --pid "$pid" expect process=ended 'main windows=0'
}

# The state right after a start with blocking on and no shortcut in the Startup folder.
started=(main=shown service=stopped Go=disabled Stop=enabled 'blocking label= Hush Enabled'
         'startup label=Hush will Not Run on Startup' 'Auto Start=enabled' 'No Auto Start=disabled'
         Help=enabled Hide=enabled Exit=enabled 'main windows=1' 'notification area=present' 'tray icons=1')

# ---------------------------------------------------------------------------------------
# Scenarios

scenario_first_start() {
  local pid
  launch pid
  step "first start: blocking on, the service stopped by the real net" --pid "$pid" expect "${started[@]}"
  hover "rest the pointer on the icon" --pid "$pid" locate-tray 0
  step "one icon in the notification area, with its tooltip" --pid "$pid" tray-tip 'Right Click For Options'
  finish "$pid"
}

scenario_stop_then_go() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  click "press Stop" 1 --pid "$pid" locate Stop
  step "blocking off: the service runs again" --pid "$pid" expect service=running Stop=disabled Go=enabled \
    'blocking label=Hush Not Enabled'
  click "press Go" 1 --pid "$pid" locate Go
  step "blocking on: the service stopped" --pid "$pid" expect service=stopped Go=disabled Stop=enabled \
    'blocking label=Hush Enabled'
  finish "$pid"
}

scenario_hide_and_show() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  click "press Hide" 1 --pid "$pid" locate Hide
  step "the window is hidden and still loaded" --pid "$pid" expect main=hidden process=running service=stopped \
    'tray icons=1'
  hover "the pointer on the icon" --pid "$pid" locate-tray 0
  step "the shell reports a left click on the icon" --pid "$pid" tray left
  step "the window is back as it was" --pid "$pid" expect main=shown 'blocking label= Hush Enabled' Go=disabled
  click "press Hide again" 1 --pid "$pid" locate Hide
  step "hidden again" --pid "$pid" expect main=hidden
  click "click the icon itself with the left button" 1 --pid "$pid" locate-tray 0
  step "the window is back" --pid "$pid" expect main=shown
  finish "$pid"
}

scenario_tray_menu() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  hover "rest the pointer on the icon" --pid "$pid" locate-tray 0
  step "one icon with its tooltip" --pid "$pid" tray-tip 'Right Click For Options'
  hover "the pointer on the icon" --pid "$pid" locate-tray 0
  step "the shell reports a right click on the icon" --pid "$pid" tray right
  step "the menu: Blocking Started checked, Blocking Stopped not" --pid "$pid" expect menu=open \
    'menu Exit=not checked' 'menu Blocking Stopped=not checked' 'menu Blocking Started=checked'
  screenshot tray_menu_open
  click "pick Blocking Stopped" 1 --pid "$pid" locate-menu 'Blocking Stopped'
  step "blocking off: the service runs" --pid "$pid" expect menu=closed service=running \
    'blocking label=Hush Not Enabled' Go=enabled Stop=disabled
  hover "the pointer on the icon" --pid "$pid" locate-tray 0
  step "right click again" --pid "$pid" tray right
  step "the check mark moved" --pid "$pid" expect menu=open 'menu Blocking Stopped=checked' \
    'menu Blocking Started=not checked'
  step "dismiss the menu" --pid "$pid" menu-dismiss
  step "nothing changed" --pid "$pid" expect menu=closed service=running 'blocking label=Hush Not Enabled'
  click "right click on the icon itself" 3 --pid "$pid" locate-tray 0
  step "the menu opens from the shell's own callback" --pid "$pid" expect menu=open 'menu Blocking Stopped=checked'
  click "pick Blocking Started" 1 --pid "$pid" locate-menu 'Blocking Started'
  step "blocking on: the service stopped" --pid "$pid" expect menu=closed service=stopped \
    'blocking label=Hush Enabled' Go=disabled Stop=enabled
  finish "$pid"
}

# "Exit" from the tray menu while the window is hidden leaves the service as it was: stopped
# with blocking on, running with blocking off.
scenario_exit_from_tray() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  click "press Hide" 1 --pid "$pid" locate Hide
  step "hidden" --pid "$pid" expect main=hidden
  hover "the pointer on the icon" --pid "$pid" locate-tray 0
  step "right click on the icon" --pid "$pid" tray right
  click "pick Exit" 1 --pid "$pid" locate-menu Exit
  step "the program ended, the service stays stopped" --pid "$pid" expect process=ended 'main windows=0' \
    service=stopped

  launch pid
  step "started again" --pid "$pid" expect "${started[@]}"
  click "press Stop" 1 --pid "$pid" locate Stop
  step "blocking off" --pid "$pid" expect service=running
  click "press Hide" 1 --pid "$pid" locate Hide
  step "hidden" --pid "$pid" expect main=hidden
  hover "the pointer on the icon" --pid "$pid" locate-tray 0
  step "right click on the icon" --pid "$pid" tray right
  click "pick Exit" 1 --pid "$pid" locate-menu Exit
  step "the program ended, the service stays running" --pid "$pid" expect process=ended 'main windows=0' \
    service=running
  screenshot "$scenario"
}

scenario_auto_start() {
  local pid
  launch pid
  step "started: will not run on startup" --pid "$pid" expect "${started[@]}" 'startup shortcut=absent'
  click "press Auto Start" 1 --pid "$pid" locate 'Auto Start'
  step "the shortcut is in the Startup folder" --pid "$pid" expect 'startup shortcut=present' \
    'startup label=Hush will Run on Startup' 'Auto Start=disabled' 'No Auto Start=enabled'
  cmp -s "$program_dir/Hushline.lnk" "$(cat "$state/startup_dir")/Hushline.lnk" ||
    fail "the Startup folder's Hushline.lnk is not a copy of the program folder's"
  click "press Exit" 1 --pid "$pid" locate Exit
  step "ended" --pid "$pid" expect process=ended
  launch pid
  step "the next start finds the shortcut" --pid "$pid" expect main=shown 'startup label=Hush will Run on Startup' \
    'Auto Start=disabled' 'No Auto Start=enabled' 'startup shortcut=present'
  click "press No Auto Start" 1 --pid "$pid" locate 'No Auto Start'
  step "the shortcut is gone" --pid "$pid" expect 'startup shortcut=absent' \
    'startup label=Hush will Not Run on Startup' 'Auto Start=enabled' 'No Auto Start=disabled'
  click "press Exit" 1 --pid "$pid" locate Exit
  step "ended" --pid "$pid" expect process=ended
  launch pid
  step "the next start finds none" --pid "$pid" expect "${started[@]}" 'startup shortcut=absent'
  finish "$pid"
}

scenario_auto_start_without_shortcut() {
  local pid
  rm "$program_dir/Hushline.lnk"
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  click "press Auto Start with no shortcut in the program folder" 1 --pid "$pid" locate 'Auto Start'
  step "the message box says so" --pid "$pid" expect 'message box=Could not find shortcut'
  screenshot auto_start_message_box
  click "press OK" 1 --pid "$pid" locate OK
  step "nothing changed" --pid "$pid" expect 'message box=(none)' 'startup shortcut=absent' \
    'startup label=Hush will Not Run on Startup' 'Auto Start=enabled' 'No Auto Start=disabled'
  finish "$pid"
}

scenario_help() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  click "press Help" 1 --pid "$pid" locate Help
  step "the help window opens" --pid "$pid" expect help=shown 'help windows=1' 'help button=enabled'
  click "press Help again" 1 --pid "$pid" locate Help
  # Input is handled in order, so once the help window's button has acted, the second Help
  # has been handled too.
  click "press the help window's button" 1 --pid "$pid" locate 'Click Here To View More Of Our Software'
  step "still one help window; the browser asked once" --pid "$pid" expect 'browser requests=1' 'help windows=1'
  screenshot help_window
  click "press the help window's button again" 1 --pid "$pid" locate 'Click Here To View More Of Our Software'
  step "a second request for the same address" --pid "$pid" expect 'browser requests=2'
  [ "$(sort -u "$drive_c/e2e/urls.txt" | wc -l)" = 1 ] || fail "the two requests differ: $(cat "$drive_c/e2e/urls.txt")"
  grep -qE '^https?://' "$drive_c/e2e/urls.txt" || fail "no web address: $(cat "$drive_c/e2e/urls.txt")"
  step "close the help window" --pid "$pid" close Help
  step "it is gone" --pid "$pid" expect 'help windows=0' main=shown
  click "press Help after closing it" 1 --pid "$pid" locate Help
  step "it opens afresh" --pid "$pid" expect help=shown 'help windows=1'
  step "close it" --pid "$pid" close Help
  step "gone" --pid "$pid" expect 'help windows=0'
  finish "$pid"
}

scenario_exit_button() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  click "press Stop" 1 --pid "$pid" locate Stop
  step "blocking off" --pid "$pid" expect service=running
  click "press Exit" 1 --pid "$pid" locate Exit
  step "the program ends and leaves the service running" --pid "$pid" expect process=ended 'main windows=0' \
    service=running
  screenshot "$scenario"
}

scenario_drag() {
  local pid
  launch pid
  step "started" --pid "$pid" expect "${started[@]}"
  drag "drag the window by its bare surface" "$pid" 120 80
  drag "and back part of the way" "$pid" -30 -20
  finish "$pid"
}

scenario_second_copy() {
  local first second
  launch first
  step "the first copy started" --pid "$first" expect "${started[@]}"
  click "the first copy: press Stop" 1 --pid "$first" locate Stop
  step "the first copy: blocking off" --pid "$first" expect service=running 'blocking label=Hush Not Enabled'
  launch second
  step "the second copy goes through the whole start-up" --pid "$second" expect main=shown service=stopped \
    'blocking label= Hush Enabled' Go=disabled 'main windows=2' 'tray icons=2'
  step "the first copy still shows what it last did" --pid "$first" expect main=shown \
    'blocking label=Hush Not Enabled' Go=enabled
  screenshot "$scenario"
  click "the second copy: press Exit" 1 --pid "$second" locate Exit
  step "the second copy ended, the first runs on" --pid "$second" expect process=ended 'main windows=1' \
    'tray icons=1'
  click "the first copy: press Exit" 1 --pid "$first" locate Exit
  step "the first copy ended" --pid "$first" expect process=ended 'main windows=0'
}

# ---------------------------------------------------------------------------------------

case "$scenario" in
  setup) setup ;;
  cleanup) cleanup ;;
  *)
    declare -F "scenario_$scenario" >/dev/null || { log "no scenario $scenario"; exit 2; }
    [ -f "$state/wineserver.pid" ] || { log "no prefix: run e2e.sh setup first"; exit 1; }
    mkdir -p "$E2E_ARTIFACTS"
    start=$(date +%s)
    reset
    "scenario_$scenario"
    log "$scenario passed in $(($(date +%s) - start)) s"
    ;;
esac
