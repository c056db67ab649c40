#!/usr/bin/env bash
# Takes the pictures in docs/: Skimlet's main window, its menu and its about window, at 96 and at 144 DPI, each on a
# fresh virtual display under Wine.
#   scripts/screenshots.sh [build folder]     (default: build/windows; built here when skimlet.exe is missing)
# Writes docs/main-<dpi>.png, docs/menu-<dpi>.png and docs/about-<dpi>.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

build=${1:-build/windows}
ensure_packages "${PACKAGES[@]}"
if [ ! -f "$build/bin/skimlet.exe" ]; then
  if [ "$build" = build/windows ]; then cmake --preset windows >/dev/null; else cmake --preset windows -B "$build" >/dev/null; fi
  cmake --build "$build" --target skimlet
fi
build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'stop_everything; rm -rf "$work"' EXIT
cp "$build/bin/skimlet.exe" "$work/skimlet.exe"

# Prints "X Y WIDTH HEIGHT" of an X window.
geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# The smallest rectangle around the given X windows, as an ImageMagick crop geometry.
bounding_crop() {
  local left=99999 top=99999 right=0 bottom=0 x y w h id
  for id in "$@"; do
    read -r x y w h < <(geometry "$id")
    ((x < left)) && left=$x
    ((y < top)) && top=$y
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  echo "$((right - left))x$((bottom - top))+$left+$top"
}

# Waits until `command` prints something; prints it.
wait_for() {
  local i out
  for i in $(seq 1 150); do
    out=$("$@" 2>/dev/null || true)
    if [ -n "$out" ]; then echo "$out"; return 0; fi
    sleep 0.2
  done
  return 1
}

visible_skimlet_windows() { xdotool search --onlyvisible --class skimlet.exe 2>/dev/null || true; }

shoot() {  # shoot <crop> <output>
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$1" +repage "$2"
  echo "Wrote $2"
}

mkdir -p docs
for dpi in 96 144; do
  start_display
  start_wine "$build/wineprefix"
  set_wine_dpi "$dpi" >/dev/null 2>&1

  wine "$work/skimlet.exe" >/dev/null 2>&1 &
  main=$(wait_for xdotool search --onlyvisible --name '^Skimlet$' | head -n 1)
  sleep 2  # painted, and the start-up balloon gone from the window's corner
  shoot "$(bounding_crop "$main")" "docs/main-$dpi.png"

  # The Menu button, at 290,12 of the 96-DPI design's client area (312 x 213). Where Wine draws the frame itself,
  # the X window holds it too: the frame is as thick on every side, the caption sits on top.
  read -r x y w h < <(geometry "$main")
  cw=$(((312 * dpi + 48) / 96)) ch=$(((213 * dpi + 48) / 96))
  border=$(((w - cw) / 2))
  cx=$((x + border)) cy=$((y + h - border - ch))
  xdotool mousemove $((cx + 290 * dpi / 96)) $((cy + 12 * dpi / 96)) click 1
  sleep 1.5
  mapfile -t windows < <(visible_skimlet_windows)
  shoot "$(bounding_crop "${windows[@]}")" "docs/menu-$dpi.png"

  # "&About" from the open menu.
  xdotool key a
  about=
  for _ in $(seq 1 50); do
    for id in $(visible_skimlet_windows); do
      [ "$id" != "$main" ] && [ -z "$(xdotool getwindowname "$id")" ] && about=$id
    done
    [ -n "$about" ] && break
    sleep 0.2
  done
  sleep 1
  if [ -n "$about" ]; then
    shoot "$(bounding_crop "$about")" "docs/about-$dpi.png"
  else
    echo "The about window did not open at $dpi DPI" >&2
  fi

  set_wine_dpi 96 >/dev/null 2>&1
  stop_everything
done
