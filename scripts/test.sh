#!/usr/bin/env bash
# Builds both presets and runs every test: the portable core natively (with sanitizers) and the Windows
# programs under Wine on a virtual 1920x1080 display, with warnings as errors. Exits non-zero on any failure.
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

ensure_packages "${PACKAGES[@]}" || exit 1
trap stop_everything EXIT
trap 'exit 130' INT TERM

status=0
run() { "$@" || status=1; }

echo "== native: build"
cmake --preset native -DSKIMLET_WERROR=ON >/dev/null && cmake --build --preset native || exit 1
echo "== native: tests"
run ctest --preset native
if [ -f scripts/fuzz.sh ]; then
  echo "== native: fuzzing (bounded)"
  run bash scripts/fuzz.sh
fi

echo "== windows: build"
cmake --preset windows -DSKIMLET_WERROR=ON >/dev/null && cmake --build --preset windows || exit 1
echo "== windows: tests under Wine"
start_display || exit 1
start_wine "$ROOT/build/windows/wineprefix"
set_wine_dpi 96
run ctest --preset windows -LE dpi144
echo "== windows: tests at 144 DPI"
set_wine_dpi 144
run ctest --preset windows -L dpi144 --no-tests=ignore
set_wine_dpi 96

# The release: installed, upgraded and uninstalled under Wine in a prefix of its own; on request, two release builds
# from clean checkouts compared byte for byte (two full builds: long).
echo "== release: install, upgrade, uninstall"
run bash tests/release/install.sh build/windows
if [ "${SKIMLET_REPRO:-0}" = 1 ]; then
  echo "== release: two builds give the same bytes"
  run bash tests/release/reproducible.sh
fi

exit $status
