#!/usr/bin/env bash
# Builds the fuzzers of the portable core (the fuzz preset: clang, libFuzzer, ASan, UBSan) and runs each for a
# bounded time: the task-line reader and writer, the bitmap validator that guards the PNG library, and that
# library's encoder. Exits non-zero when the build fails or a fuzzer finds a crash, a hang or a failed check.
#   scripts/fuzz.sh [seconds per fuzzer] [configure preset]   (defaults: 25, fuzz)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

seconds=${1:-25}
preset=${2:-fuzz}
out=build/fuzz
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" ${SKIMLET_FUZZ_JOBS:+-j "$SKIMLET_FUZZ_JOBS"}

# fuzz NAME [SEED-FOLDER]: new inputs go to the build folder; committed seeds are only read.
fuzz() {
  local name=$1 seeds=${2:-}
  mkdir -p "$out/$name-corpus" "$out/artifacts"
  "$out/tests/fuzz/$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$name-" "$out/$name-corpus" ${seeds:+"$seeds"}
}

fuzz taskline_fuzz tests/fuzz/corpus
fuzz checkbmp_fuzz
fuzz bmptopng_fuzz tests/fuzz/bitmaps
