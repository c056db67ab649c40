#!/usr/bin/env bash
# Builds the fuzzers of the portable core with clang++ (libFuzzer, ASan, UBSan) and runs each for a bounded time:
# the task-line reader and writer, the bitmap validator that guards the PNG library, and that library's encoder.
# Exits non-zero when a build fails or a fuzzer finds a crash, a hang or a failed check.
#   scripts/fuzz.sh [seconds per fuzzer]   (default 25)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

seconds=${1:-25}
out=build/fuzz

# fuzz NAME SEED-FOLDER SOURCES...: new inputs go to the build folder; committed seeds are only read.
fuzz() {
  local name=$1 seeds=$2
  shift 2
  mkdir -p "$out/$name-corpus" "$out/artifacts"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -Isrc "$@" -lz \
    -o "$out/$name"
  "$out/$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$name-" "$out/$name-corpus" ${seeds:+"$seeds"}
}

# The whole portable core goes into each fuzzer, so a function moving between its files never breaks the build.
core_sources=(src/core/*.cpp)
fuzz taskline_fuzz tests/fuzz/corpus "${core_sources[@]}" tests/fuzz/TaskLine_fuzz.cpp
fuzz checkbmp_fuzz "" "${core_sources[@]}" tests/fuzz/CheckBmp_fuzz.cpp
fuzz bmptopng_fuzz tests/fuzz/bitmaps "${core_sources[@]}" tests/fuzz/BmpToPng_fuzz.cpp
