#!/usr/bin/env bash
# Builds the task-line fuzzer with clang++ and runs it for a bounded time over the committed seed corpus.
# Exits non-zero when the build fails or the fuzzer finds a crash, a hang or a failed check.
#   scripts/fuzz.sh [seconds]   (default 30)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

seconds=${1:-30}
out=build/fuzz
mkdir -p "$out/corpus" "$out/artifacts"

sources=(src/core/TaskLine.cpp src/core/CaseFold.cpp src/core/Integers.cpp tests/fuzz/TaskLine_fuzz.cpp)
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc "${sources[@]}" -o "$out/taskline_fuzz"

# New inputs go to the build folder; the committed seeds are only read.
"$out/taskline_fuzz" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$out/corpus" tests/fuzz/corpus
