#!/usr/bin/env bash
# Builds Skimlet and starts it under Wine: on $DISPLAY when there is one; otherwise on a fresh virtual
# display, where a screenshot is saved after a few seconds and everything started here is stopped again.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

ensure_packages "${PACKAGES[@]}"
cmake --preset windows >/dev/null
# The program and its companion files: the PNG library and the help (an empty target where chmcmd is missing).
cmake --build --preset windows --target skimlet skimlet_png skimlet_help
exe="$ROOT/build/windows/bin/skimlet.exe"
export WINEPREFIX="$ROOT/build/windows/wineprefix"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

trap stop_everything EXIT
start_display
start_wine "$WINEPREFIX"
wine "$exe" &
sleep 6
shot="$ROOT/build/windows/screenshot.png"
import -window root "$shot"
echo "Screenshot: $shot"
