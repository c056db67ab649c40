#!/usr/bin/env bash
# Full-screen capture and PNG conversion, on a fresh 1920x1080x24 display under Wine, for two pictures:
#  - bench_snap's synthetic picture (gradients with fine noise), captured by bench_snap and by ImageMagick's import;
#  - a desktop: a photo-like wallpaper (ImageMagick's plasma fractal, softened) under some of Wine's own programs
#    (Notepad showing the README, the registry editor, the configuration dialog).
# Each captured bitmap is converted by the product's library, by the imaging component's PNG encoder that the library
# used before, and by ImageMagick's convert. Also a window snapshot of the synthetic picture while a small window covers
# it (the picture draws itself) beside the screen copy, and of a covered window of another process (raised for a
# moment, as PrintWindow cannot draw it under Wine) beside its screen copy. Prints medians, ratios and the file sizes.
#   bench/snap.sh [build folder, default build/windows] [runs, default 15]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_snap.exe
runs=${2:-15}

now_ms() { date +%s%N | awk '{ printf "%.2f", $1 / 1000000 }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'; }
ratio() { echo "scale=2; $1 / $2" | bc; }
percent() { echo "scale=1; 100 * ($1 - $2) / $2" | bc; }

# times_ms COMMAND...: the median of $runs runs of the command.
times_ms() {
  local times=() start
  for _ in $(seq 1 "$runs"); do
    start=$(now_ms)
    "$@" 2>/dev/null
    times+=("$(echo "$(now_ms) - $start" | bc)")
  done
  printf '%s\n' "${times[@]}" | median
}

# report NAME FOLDER: the lines for one picture, from bench_snap's output in FOLDER/bench.txt and convert's run there.
report() {
  local name=$1 dir=$2
  field() { field_of "$dir/bench.txt" "$1"; }
  local convert_ms ours wic
  convert_ms=$(times_ms convert "$dir/bench.tmp.bmp" "$dir/magick.png")
  ours=$(field convert_ms_median)
  wic=$(field wic_ms_median)
  echo "$name"
  echo "  BMP to PNG:      skimlet $ours    WIC $wic    convert $convert_ms    WIC/skimlet $(ratio "$wic" "$ours")"
  echo "  skimlet encoder: $(field encode_ms_median) in memory on $(field encode_threads) threads," \
    "of which filter choice $(field filter_ms_median); one stream $(field encode_single_ms_median)" \
    "   WIC/encoder $(ratio "$wic" "$(field encode_ms_median)")"
  echo "  encoder sizes:   on threads $(field encode_png_bytes)    one stream $(field encode_single_png_bytes)" \
    "   threads vs one stream $(percent "$(field encode_png_bytes)" "$(field encode_single_png_bytes)")%"
  echo "  sizes in bytes:  BMP $(field bmp_bytes)    skimlet PNG $(field png_bytes)    WIC PNG $(field wic_png_bytes)" \
    "   convert PNG $(stat -c %s "$dir/magick.png")    skimlet vs WIC $(percent "$(field png_bytes)" "$(field wic_png_bytes)")%"
  [ "$(field same_pixels)" = 1 ] || echo "  note: the two PNGs do not decode to the same pixels"
  [ "$(field converted)" = 1 ] || echo "  note: the conversion library was not used (no PNG written)"
}

# The synthetic picture, held on screen by bench_snap until import has captured it too.
mkdir -p "$out/synthetic" "$out/desktop"
wine "$build/bench/bench_snap.exe" "$runs" "$(winepath -w "$out/synthetic")" > "$out/synthetic/bench.txt" 2>/dev/null &
bench_pid=$!
wait_marker "$out/synthetic/ready" "$bench_pid" ||
  { echo "bench_snap did not finish measuring" >&2; cat "$out/synthetic/bench.txt"; exit 1; }
import_ms=$(times_ms import -window root "$out/import.bmp")
touch "$out/synthetic/done"
wait "$bench_pid"

# The desktop. Without a window manager the programs open at the top left; Notepad is placed on the right (it takes
# its position from the registry) so that three windows show.
convert -size 1920x1080 -seed 7 plasma:fractal -blur 0x3 "$out/wallpaper.png"
display -window root "$out/wallpaper.png"
notepad_key='HKCU\Software\Microsoft\Notepad'
for value in iWindowPosX=760 iWindowPosY=90 iWindowPosDX=1120 iWindowPosDY=920; do
  wine reg add "$notepad_key" /v "${value%=*}" /t REG_DWORD /d "${value#*=}" /f >/dev/null 2>&1
done
wine winecfg >/dev/null 2>&1 &
sleep 1
wine regedit >/dev/null 2>&1 &
sleep 1
wine notepad "$(winepath -w "$ROOT/README.md")" >/dev/null 2>&1 &
for _ in $(seq 1 150); do
  [ "$(xdotool search --onlyvisible --name 'Notepad|Registry Editor|Wine configuration' 2>/dev/null | wc -l)" -ge 3 ] &&
    break
  sleep 0.2
done
sleep 2  # let them paint
wine "$build/bench/bench_snap.exe" "$runs" "$(winepath -w "$out/desktop")" desktop > "$out/desktop/bench.txt" 2>/dev/null

print_machine "$out/synthetic/bench.txt"
echo "runs: $runs, medians in milliseconds"
capture_ms=$(field_of "$out/synthetic/bench.txt" capture_ms_median)
echo "capture to BMP:    skimlet $capture_ms    import -window root $import_ms    ratio $(ratio "$capture_ms" "$import_ms")"
covered_ms=$(field_of "$out/synthetic/bench.txt" covered_ms_median)
echo "window snapshot of the covered picture (it draws itself): $covered_ms    as shown" \
  "$(field_of "$out/synthetic/bench.txt" covered_as_shown_ms_median)    screen copy $capture_ms" \
  "   ratio $(ratio "$covered_ms" "$capture_ms")"
[ "$(field_of "$out/synthetic/bench.txt" covered_drawn)" = 1 ] ||
  echo "  note: the covered picture was not drawn by itself (the screen copy was kept)"
other_ms=$(field_of "$out/synthetic/bench.txt" other_process_ms_median)
echo "window snapshot of a covered window of another process (itself): $other_ms    as shown" \
  "$(field_of "$out/synthetic/bench.txt" other_process_as_shown_ms_median)    captured as itself" \
  "$(field_of "$out/synthetic/bench.txt" other_process_itself)    window order kept" \
  "$(field_of "$out/synthetic/bench.txt" other_process_order_kept)"
report "synthetic picture (bench_snap's gradients with fine noise)" "$out/synthetic"
report "desktop (plasma wallpaper, Notepad, registry editor, Wine configuration)" "$out/desktop"
