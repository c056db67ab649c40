#!/usr/bin/env bash
# Builds Skimlet and starts it under Wine: on $DISPLAY when there is one; otherwise on a fresh virtual
# display, where a screenshot is saved after a few seconds and everything started here is stopped again.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

ensure_packages "${PACKAGES[@]}"
cmake --preset windows >/dev/null
# The program and its companion files: the PNG library and, where chmcmd is installed, the help.
targets=(skimlet skimlet_png)
cmake --build --preset windows --target help 2>/dev/null | grep -q skimlet_help && targets+=(skimlet_help)
cmake --build --preset windows --target "${targets[@]}"
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
