#!/usr/bin/env bash
# End-to-end test of Hushline-setup.exe in a fresh Wine prefix of its own, on $DISPLAY:
#  1. silent install into the default folder: the exe, its shortcut, the Start-menu entry,
#     the uninstall registration and one version in installer and program;
#  2. the installed program's "Auto Start" puts a working copy of the shortcut in Startup;
#  3. silent uninstall, run as the system's list of programs runs it, removes all of that;
#  4. silent install into a folder of the user's choice, with a space in its name; the
#     uninstaller leaves that folder standing when it holds a file of the user's.
# usage: installer_test.sh SETUP_EXE HUSHLINE_EXE SHELL_PROBE_EXE WORK_DIR VERSION
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 SETUP_EXE HUSHLINE_EXE SHELL_PROBE_EXE WORK_DIR VERSION" >&2; exit 2; }
setup=$1 built_exe=$2 probe_exe=$3 work=$4 version=$5
: "${DISPLAY:?needs a display}"

export WINEPREFIX=$work/wineprefix
# winemenubuilder would copy the Start-menu entry into the real desktop's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
source "$(dirname "$0")/../../scripts/wine.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

rm -rf "$work"
mkdir -p "$WINEPREFIX"
wineserver -f -p &
server=$!
app=
cleanup() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wait "$server" 2>/dev/null || true
}
trap cleanup EXIT
wine_prefix_init

# Windows tools print CRLF lines.
probe() { wine "$probe_exe" "$@" | tr -d '\r'; }
unix_path() { winepath -u "$1" | tr -d '\r'; }

# Polls until the command succeeds, for up to $1 seconds.
wait_until() {
  local seconds=$1; shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# A shell link that resolves to the exe in folder, started there, with the exe's own icon.
expect_link() {
  local link=$1 folder=$2 got
  got=$(probe resolve "$link") || fail "$link does not resolve"
  local want="target=$folder\\Hushline.exe
folder=$folder
icon=$folder\\Hushline.exe,0"
  [ "$got" = "$want" ] || fail "$link resolves to
$got
instead of
$want"
}

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hushline'
reg_value() {
  wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

step "fresh prefix: special folders"
program_files=$(wine cmd /c echo '%ProgramFiles%' | tr -d '\r')
start_menu=$(probe folder 23)    # CSIDL_COMMON_PROGRAMS: where the entry goes for everyone
startup=$(probe folder 7)        # CSIDL_STARTUP: where "Auto Start" puts its copy
[ -n "$program_files" ] && [ -n "$start_menu" ] && [ -n "$startup" ] || fail "no special folders"
default_dir="$program_files\\Hushline"
default_unix=$(unix_path "$default_dir")
start_menu_unix=$(unix_path "$start_menu")/Hushline.lnk
startup_unix=$(unix_path "$startup")/Hushline.lnk

step "installer carries the project version"
[ "$(probe version "$setup")" = "$version" ] || fail "installer version is not $version"

step "silent install into the default folder"
wine "$setup" /S || fail "silent install exited with $?"
[ -f "$default_unix/Hushline.exe" ] || fail "no Hushline.exe in $default_unix"
cmp -s "$default_unix/Hushline.exe" "$built_exe" || fail "installed Hushline.exe differs from the built one"
[ "$(probe version "$default_dir\\Hushline.exe")" = "$version" ] || fail "program version is not $version"
[ -f "$default_unix/Hushline.lnk" ] || fail "no Hushline.lnk in the program folder"
expect_link "$default_dir\\Hushline.lnk" "$default_dir"
[ -f "$start_menu_unix" ] || fail "no Start-menu entry at $start_menu_unix"
expect_link "$start_menu\\Hushline.lnk" "$default_dir"

step "uninstall registration"
for row in "DisplayName=Hushline" "DisplayVersion=$version" "Publisher=Hushline developers" \
           "InstallLocation=$default_dir" "DisplayIcon=$default_dir\\Hushline.exe,0" \
           "UninstallString=\"$default_dir\\Uninstall.exe\"" \
           "QuietUninstallString=\"$default_dir\\Uninstall.exe\" /S"; do
  name=${row%%=*} want=${row#*=}
  got=$(reg_value "$name")
  [ "$got" = "$want" ] || fail "$name is '$got', not '$want'"
done
uninstaller=$(reg_value UninstallString | sed 's/^"\(.*\)"$/\1/')
[ -f "$(unix_path "$uninstaller")" ] || fail "UninstallString names no file"

step "installed program: Auto Start puts a working copy in Startup"
[ ! -e "$startup_unix" ] || fail "Startup already holds Hushline.lnk"
wine "$default_dir\\Hushline.exe" &
app=$!
[ "$(probe owner Hushline)" = "$default_dir\\Hushline.exe" ] || fail "the Hushline window is not the installed program's"
probe click Hushline "Auto Start" || fail "cannot press Auto Start"
wait_until 30 test -f "$startup_unix" || fail "Auto Start left no Hushline.lnk in $startup_unix"
cmp -s "$startup_unix" "$default_unix/Hushline.lnk" || fail "the Startup copy differs from the program folder's shortcut"
expect_link "$startup\\Hushline.lnk" "$default_dir"
probe click Hushline Exit || fail "cannot press Exit"
wait_until 30 eval '! kill -0 "$app" 2>/dev/null' || fail "the program did not end after Exit"
wait "$app" 2>/dev/null || true
app=

step "the Startup copy starts the installed program"
wine start "$startup\\Hushline.lnk"
[ "$(probe owner Hushline)" = "$default_dir\\Hushline.exe" ] || fail "the Startup copy did not start the installed program"
probe click Hushline Exit || fail "cannot press Exit"
probe gone Hushline || fail "the program started from Startup did not end"

step "silent uninstall removes the folder, the Start-menu entry and the Startup copy"
wine "$uninstaller" /S || fail "silent uninstall exited with $?"
# The uninstaller runs on from a copy of itself in the temporary folder.
wait_until 60 test ! -e "$default_unix" || fail "the program folder is still there: $(ls -A "$default_unix")"
wait_until 30 test ! -e "$start_menu_unix" || fail "the Start-menu entry is still there"
[ ! -e "$startup_unix" ] || fail "the Startup copy is still there"
wait_until 30 eval '! wine reg query "$uninstall_key" >/dev/null 2>&1' || fail "the uninstall key is still registered"

step "silent install into a chosen folder"
chosen='C:\Apps\Hush Line'
chosen_unix=$(unix_path "$chosen")
# /D= comes last and takes the rest of the command line as it stands, spaces and all, and
# no quotes; Wine would quote an argument that holds a space, so the path goes as words.
read -ra chosen_words <<<"/D=$chosen"
wine "$setup" /S "${chosen_words[@]}" || fail "silent install into $chosen exited with $?"
[ -f "$chosen_unix/Hushline.exe" ] || fail "no Hushline.exe in $chosen_unix"
[ ! -e "$default_unix" ] || fail "the default folder was made although another was chosen"
expect_link "$chosen\\Hushline.lnk" "$chosen"
expect_link "$start_menu\\Hushline.lnk" "$chosen"
[ "$(reg_value InstallLocation)" = "$chosen" ] || fail "InstallLocation is not $chosen"

step "uninstall keeps a file of the user's, and its folder"
echo "mine" >"$chosen_unix/notes.txt"
wine "$chosen\\Uninstall.exe" /S || fail "silent uninstall exited with $?"
wait_until 60 test ! -e "$chosen_unix/Uninstall.exe" || fail "Uninstall.exe is still there"
wait_until 30 test ! -e "$chosen_unix/Hushline.exe" || fail "Hushline.exe is still there"
[ ! -e "$chosen_unix/Hushline.lnk" ] || fail "Hushline.lnk is still there"
[ "$(cat "$chosen_unix/notes.txt")" = "mine" ] || fail "the user's file is gone"
wait_until 30 test ! -e "$start_menu_unix" || fail "the Start-menu entry is still there"

echo "installer test passed"
