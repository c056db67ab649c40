#!/usr/bin/env bash
# Full-screen capture and PNG conversion: bench_snap (under Wine, on a fresh 1920x1080x24 display) beside
# ImageMagick on the same display and the same bitmap. Prints medians, their ratios and the PNG sizes.
#   bench/snap.sh [build folder, default build/windows] [runs, default 15]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_snap.exe
runs=${2:-15}

now_ms() { date +%s%N | awk '{ printf "%.2f", $1 / 1000000 }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'; }
field() { field_of "$out/bench.txt" "$1"; }

wine "$build/bench/bench_snap.exe" "$runs" "$(winepath -w "$out")" > "$out/bench.txt" 2>/dev/null &
bench_pid=$!
wait_marker "$out/ready" "$bench_pid" || { echo "bench_snap did not finish measuring" >&2; cat "$out/bench.txt"; exit 1; }

# The same screen, still showing bench_snap's picture, through ImageMagick.
import_times=()
for _ in $(seq 1 "$runs"); do
  start=$(now_ms)
  import -window root "$out/import.bmp" 2>/dev/null
  import_times+=("$(echo "$(now_ms) - $start" | bc)")
done
touch "$out/done"
wait "$bench_pid"

# The same bitmap that bench_snap converted.
convert_times=()
for _ in $(seq 1 "$runs"); do
  start=$(now_ms)
  convert "$out/bench.tmp.bmp" "$out/magick.png" 2>/dev/null
  convert_times+=("$(echo "$(now_ms) - $start" | bc)")
done

import_ms=$(printf '%s\n' "${import_times[@]}" | median)
convert_ms=$(printf '%s\n' "${convert_times[@]}" | median)
capture_ms=$(field capture_ms_median)
ours_convert_ms=$(field convert_ms_median)
ratio() { echo "scale=2; $1 / $2" | bc; }

print_machine "$out/bench.txt"
echo "runs: $runs, medians in milliseconds"
echo "capture to BMP:    skimlet $capture_ms    import -window root $import_ms    ratio $(ratio "$capture_ms" "$import_ms")"
echo "BMP to PNG:        skimlet $ours_convert_ms    convert $convert_ms    ratio $(ratio "$ours_convert_ms" "$convert_ms")"
echo "sizes in bytes:    BMP $(field bmp_bytes)    skimlet PNG $(field png_bytes)    convert PNG $(stat -c %s "$out/magick.png")"
[ "$(field converted)" = 1 ] || echo "note: the conversion library was not used (no PNG written)"
