#!/usr/bin/env bash
# The installer under Wine, in a prefix of its own: a silent install puts the files, the shortcut and the uninstall
# key in the user's own places; the installed skimlet.com runs; an upgrade over a running copy asks it to exit and
# keeps the user's task and set files byte for byte; a silent uninstall removes everything else and keeps them.
# Packages the products of the Windows build given as the first argument (default build/windows).
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
build=$(cd "${1:-$ROOT/build/windows}" && pwd)
work="$build/install-test"

fail=0
check() {  # check DESCRIPTION COMMAND...: runs the command, reports a failure
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}

SKIMLET_RELEASE_FROM="$build" SKIMLET_RELEASE_OUT="$work/dist" bash "$ROOT/scripts/release.sh" >"$work.log" 2>&1 ||
  { cat "$work.log"; echo "FAILED: packaging"; exit 1; }
setup=$(ls "$work"/dist/skimlet-*-setup.exe)
version=$(basename "$setup" | sed 's/skimlet-\(.*\)-win64-setup.exe/\1/')

export WINEPREFIX="$work/prefix"
# Wine would also copy the Start-menu shortcut into this machine's own menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1' EXIT
wineboot -i >/dev/null 2>&1
unix_path() { winepath -u "$(wine cmd /c echo "$1" 2>/dev/null | tr -d '\r"')" 2>/dev/null; }
dir=$(unix_path '%LOCALAPPDATA%\Programs\Skimlet')
menu=$(unix_path '%APPDATA%\Microsoft\Windows\Start Menu\Programs')
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skimlet'
shipped=(skimlet.exe skimlet.com skimlet.dll skimlet.chm LICENSE.txt README.txt Uninstall.exe)
# Runs a program of Wine's and waits for every process it started (the uninstaller copies itself away and returns).
run_wait() { wine "$@" >/dev/null 2>&1; timeout 120 wineserver -w; }

run_wait "$setup" /S
files_in_place() { local f; for f in "${shipped[@]}"; do [ -f "$dir/$f" ] || return 1; done; }
check "install: program files in %LOCALAPPDATA%\\Programs\\Skimlet" files_in_place
check "install: Start-menu shortcut \"Skimlet\"" test -f "$menu/Skimlet.lnk"
values=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
key_holds() {
  local v
  for v in "DisplayName    REG_SZ    Skimlet" "DisplayVersion    REG_SZ    $version" "NoModify    REG_DWORD    0x1" \
      "NoRepair    REG_DWORD    0x1" "UninstallString    REG_SZ    \"C:\\" "InstallLocation    REG_SZ    C:\\" \
      Publisher DisplayIcon EstimatedSize; do
    [[ $values == *"$v"* ]] || { echo "missing: $v"; return 1; }
  done
}
check "install: uninstall key in HKCU" key_holds
nothing_machine_wide() {
  ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skimlet' >/dev/null 2>&1 &&
    ! ls -d "$WINEPREFIX"/drive_c/Program\ Files*/Skimlet >/dev/null 2>&1
}
check "install: nothing under HKLM or Program Files" nothing_machine_wide
check "installed skimlet.com --version" test "$(wine "$dir/skimlet.com" --version 2>/dev/null | tr -d '\r')" = "Skimlet $version"

printf 'Name=OK,Class=Button,pName=Confirm,pClass=#32770\r\n' >"$dir/skimlet.ini"
printf '  100   50  800  600\r\n' >"$dir/skimlet.log"
cp "$dir/skimlet.ini" "$work/tasks.expected"
cp "$dir/skimlet.log" "$work/sets.expected"
user_files_kept() { cmp "$dir/skimlet.ini" "$work/tasks.expected" && cmp "$dir/skimlet.log" "$work/sets.expected"; }

# The upgrade, with the installed copy running when there is a display to run it on.
running=
if [ -n "${DISPLAY:-}" ]; then
  wine "$dir/skimlet.exe" >/dev/null 2>&1 &
  running=$!
  shown() {
    local _
    for _ in $(seq 1 100); do xdotool search --onlyvisible --name '^Skimlet$' >/dev/null 2>&1 && return 0; sleep 0.2; done
    return 1
  }
  check "upgrade: the installed copy runs" shown
fi
run_wait "$setup" /S
check "upgrade: program files replaced" files_in_place
check "upgrade: task and set files kept byte for byte" user_files_kept
if [ -n "$running" ]; then
  exited() { [[ "$(ps -o stat= -p "$running")" != [^Z]* ]]; }  # gone, or a zombie
  check "upgrade: the running copy was asked to exit" exited
fi

run_wait "$dir/Uninstall.exe" /S
left=$(cd "$dir" 2>/dev/null && ls | tr '\n' ' ')
check "uninstall: only the task and set files left (left: $left)" test "$left" = "skimlet.ini skimlet.log "
check "uninstall: task and set files kept byte for byte" user_files_kept
check "uninstall: shortcut removed" test ! -e "$menu/Skimlet.lnk"
check "uninstall: key removed" bash -c "! wine reg query '$key' >/dev/null 2>&1"
exit $fail
