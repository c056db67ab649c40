#!/usr/bin/env bash
# Start-up time against the size of the task file: copies of skimlet.exe, each beside a task file (named after it) of
# a given size, started in turn by bench_startup under Wine on a fresh 1920x1080x24 display, timed from process
# creation to the first visible window. Sizes: none, 1,000, 10,000 and 50,000 lines, a file of 50 MB (1.6 million
# lines) and one line of 10 MB. Prints the median per size.
#   bench/lists.sh [build folder, default build/windows] [runs, default 3]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_startup.exe bin/skimlet.exe
runs=${2:-3}

# lines N FILE: N task lines of 32 bytes each, CR LF ended.
lines() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "Name=Window %09d,Class=Cls\r\n", i }' > "$2"; }
programs=()
for size in 0 1000 10000 50000 50mb 1line; do
  exe="$out/skimlet_$size.exe"
  cp "$build/bin/skimlet.exe" "$exe"
  case $size in
    0) ;;
    50mb) lines 1638400 "$out/skimlet_$size.ini" ;;
    1line) { printf 'Name='; head -c 10485760 /dev/zero | tr '\0' 'x'; printf ',Class=Cls\r\n'; } > "$out/skimlet_$size.ini" ;;
    *) lines "$size" "$out/skimlet_$size.ini" ;;
  esac
  programs+=("$(winepath -w "$exe")")
done
wine "$build/bench/bench_startup.exe" "$runs" "${programs[@]}" > "$out/bench.txt" 2>/dev/null ||
  { echo "bench_startup failed" >&2; tr -d '\r' < "$out/bench.txt" >&2; exit 1; }
field() { field_of "$out/bench.txt" "$1"; }

print_machine "$out/bench.txt"
echo "runs: $(field runs) each, process start to first visible window, medians in milliseconds"
printf '%-28s %10s   %s\n' "task file" "median" "all runs"
for size in 0 1000 10000 50000 50mb 1line; do
  case $size in
    0) what="none" ;;
    50mb) what="50 MB (1,638,400 lines)" ;;
    1line) what="one line of 10 MB" ;;
    *) what="$size lines" ;;
  esac
  printf '%-28s %10s   %s\n' "$what" "$(field "skimlet_${size}_ms_median")" "$(field "skimlet_${size}_ms_all")"
done
