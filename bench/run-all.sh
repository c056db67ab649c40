#!/usr/bin/env bash
# Every benchmark with one command: builds the product and the benchmark programs (MinGW-w64 cross build), then runs
# each benchmark script in turn, every one on its own fresh 1920x1080x24 virtual display under Wine, and prints all
# figures after the machine and the display. Takes a few minutes; a failing benchmark is reported and the rest run.
#   bench/run-all.sh [build folder, default build/windows]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
build=${1:-$ROOT/build/windows}

ensure_packages "${BENCH_PACKAGES[@]}" || exit 1
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset windows -S "$ROOT" -B "$build" >/dev/null || { echo "configuring $build failed" >&2; exit 1; }
fi
cmake --build "$build" --target skimlet skimlet_console skimlet_png bench_inspect bench_snap bench_tasksearch \
  bench_startup bench_minimal bench_minimal_controls bench_memory bench_stall bench_trigger nag_fixture \
  bench_startup_steps bench_list bench_elements element_fixture >/dev/null ||
  { echo "building the benchmarks failed" >&2; exit 1; }
build=$(cd "$build" && pwd)
# The outside start-up watcher is a Linux program: the native build makes it.
native="$ROOT/build/native"
{ [ -f "$native/CMakeCache.txt" ] || cmake --preset native -S "$ROOT" >/dev/null; } &&
  cmake --build "$native" --target bench_startup_outside >/dev/null ||
  { echo "building bench_startup_outside failed" >&2; exit 1; }

echo "Skimlet benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null)"
echo "machine: $(host_cpu), $(nproc) logical CPUs," \
  "$(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo), $(uname -sr)"
echo "display: Xvfb 1920x1080x24 (a fresh one per benchmark), $(wine --version 2>/dev/null)"
failed=()
run() {
  local name=$1
  shift
  echo
  echo "== $name"
  "$ROOT/bench/$name.sh" "$build" "$@" || failed+=("$name")
}
run inspect
run elements
run snap
run console_snap
run tasksearch
run startup
run startup_outside
run lists
run stall
run startup_steps
run memory
run idle
run trigger
run list
echo
if [ ${#failed[@]} -eq 0 ]; then echo "all benchmarks ran"; else echo "failed: ${failed[*]}"; exit 1; fi
