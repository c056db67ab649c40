#!/usr/bin/env bash
# Builds both presets and runs every test: the portable core natively (with sanitizers) and the Windows
# programs under Wine on a virtual 1920x1080 display, with warnings as errors (the ci-* presets), while the fuzzers
# run on the other core. Exits non-zero on any failure.
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

ensure_packages "${PACKAGES[@]}" || exit 1
fuzz_pid=
# The fuzzing runs in a session of its own, so that an early exit ends it with everything it started.
trap 'stop_everything; [ -z "$fuzz_pid" ] || kill -- -"$fuzz_pid" 2>/dev/null' EXIT
trap 'exit 130' INT TERM

status=0
run() { "$@" || status=1; }

echo "== native: build"
cmake --preset ci-native >/dev/null && cmake --build --preset ci-native || exit 1
echo "== native: tests"
run ctest --preset ci-native

# Fuzzing (clang build and bounded runs) takes one core beside the Windows build and the Wine tests, which leave
# the second core idle most of the time; its output goes to a log, and its result is collected at the end.
fuzz_log=build/fuzz.log
if [ -f scripts/fuzz.sh ]; then
  echo "== native: fuzzing (bounded, in the background; log in $fuzz_log)"
  mkdir -p build
  SKIMLET_FUZZ_JOBS=1 setsid nice -n 5 bash scripts/fuzz.sh 25 ci-fuzz >"$fuzz_log" 2>&1 &
  fuzz_pid=$!
fi

echo "== windows: build"
cmake --preset ci-windows >/dev/null && cmake --build --preset ci-windows || exit 1
echo "== windows: tests under Wine"
start_display || exit 1
start_wine "$ROOT/build/windows/wineprefix"
set_wine_dpi 96
run ctest --preset ci-windows -LE dpi144
echo "== windows: tests at 144 DPI"
set_wine_dpi 144
run ctest --preset ci-windows -L dpi144 --no-tests=ignore
set_wine_dpi 96

# The release: installed, upgraded and uninstalled under Wine in a prefix of its own; on request, two release builds
# from clean checkouts compared byte for byte (two full builds: long).
echo "== release: install, upgrade, uninstall"
run bash tests/release/install.sh build/windows
if [ "${SKIMLET_REPRO:-0}" = 1 ]; then
  echo "== release: two builds give the same bytes"
  run bash tests/release/reproducible.sh
fi

if [ -n "$fuzz_pid" ]; then
  echo "== native: fuzzing result"
  fuzz_status=0
  wait "$fuzz_pid" || fuzz_status=$?
  fuzz_pid=
  if [ "$fuzz_status" = 0 ]; then
    grep -E '^(Done|stat::number_of_executed_units)' "$fuzz_log" || true
    echo "fuzzing passed"
  else
    tail -n 40 "$fuzz_log"
    echo "fuzzing FAILED (whole log: $fuzz_log)"
    status=1
  fi
fi

exit $status
