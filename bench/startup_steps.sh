#!/usr/bin/env bash
# Start-up step by step: bench_startup_steps runs Skimlet's start-up steps in one process, N times (a fresh process
# each time) under Wine on a fresh 1920x1080x24 display; prints each step's median, the libraries each step loaded,
# the whole process's libraries and the program's size, and the cost of loading a few more libraries after start-up.
#   bench/startup_steps.sh [build folder, default build/windows] [runs, default 15]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_startup_steps.exe
runs=${2:-15}
program="$build/bench/bench_startup_steps.exe"
wine "$program" > /dev/null 2>&1  # untimed: the first load from disk
for i in $(seq 1 "$runs"); do
  wine "$program" --dll-cost 2>/dev/null | tr -d '\r' > "$out/run$i.txt"
  # A window of the last run may still be going away; let it, so that runs do not overlap.
  sleep 0.3
done
cat "$out"/run*.txt > "$out/all.txt"

# median KEY: the median of KEY's values over the runs.
median() {
  grep "^$1=" "$out/all.txt" | cut -d= -f2 | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'
}
echo "machine: $(host_cpu); $(nproc) logical CPUs; $(uname -sr); Wine $(wine --version 2>/dev/null)"
echo "runs: $runs, medians in milliseconds"
printf '%-36s %8s\n' "before main (loader, runtime)" "$(median before_main_ms)"
sum=0
for key in $(grep -o '^step_[a-z_]*_ms' "$out/run1.txt"); do
  name=${key#step_}
  name=${name%_ms}
  loaded=$(grep -h "^dlls_$name=" "$out"/run*.txt | head -1 | cut -d= -f2-)
  printf '%-36s %8s   %s\n' "$name" "$(median "$key")" "${loaded:+loads: $loaded}"
done
printf '%-36s %8s\n' "total (creation to first paint)" "$(median total_ms)"
echo "libraries at the end ($(field_of "$out/run1.txt" dll_count)): $(field_of "$out/run1.txt" dlls)"
echo "program size: $(field_of "$out/run1.txt" exe_bytes) bytes"
for key in $(grep -o '^cost_[a-z0-9_.]*_ms' "$out/run1.txt"); do
  name=${key#cost_}
  printf 'loading %-28s %8s  (after start-up)\n' "${name%_ms}" "$(median "$key")"
done
