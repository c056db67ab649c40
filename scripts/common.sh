# Shared by run.sh and test.sh: package installation, the virtual display and the wineserver.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build and the tests need.
PACKAGES=(
  cmake ninja-build g++ googletest clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  zlib1g-dev libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils xdotool imagemagick fp-utils-3.2.2
  nlohmann-json3-dev nsis zip
)

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs whatever of the given packages is missing, quietly.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

STARTED_XVFB_PID=
STARTED_WINESERVER=

# Starts Xvfb on the first free display number and exports DISPLAY.
start_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  STARTED_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

# Starts one persistent wineserver for the prefix (creating the prefix on first use).
start_wine() {
  export WINEPREFIX=$1
  mkdir -p "$WINEPREFIX"
  wineserver -p
  STARTED_WINESERVER=$WINEPREFIX
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
  fi
  # Wine draws our windows' frames itself instead of leaving them to a window manager. Xvfb runs none, and a
  # managed window would wait 2 s for one on every DestroyWindow; unmanaged, screenshots show real title bars.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  restart_wineserver
}

# Sets the logical DPI that Wine reports and restarts the wineserver so that the next program sees it.
set_wine_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  restart_wineserver
}

# Restarts the persistent wineserver and Wine's background processes (explorer with the tray, services). They are
# started here, with their output going nowhere: started by the first test program instead, they would inherit
# ctest's output pipe and keep it open, and ctest would wait for that test until its time-out.
restart_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p
  wineboot -u </dev/null >/dev/null 2>&1 || true
}

stop_everything() {
  if [ -n "$STARTED_WINESERVER" ]; then
    WINEPREFIX=$STARTED_WINESERVER wineserver -k >/dev/null 2>&1 || true
    STARTED_WINESERVER=
  fi
  if [ -n "$STARTED_XVFB_PID" ]; then
    kill "$STARTED_XVFB_PID" >/dev/null 2>&1 || true
    wait "$STARTED_XVFB_PID" 2>/dev/null || true
    STARTED_XVFB_PID=
  fi
}
