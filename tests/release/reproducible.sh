#!/usr/bin/env bash
# Two releases of the committed HEAD, from two clean checkouts in folders of different names and depths, built
# without the compiler cache: every file in dist/ must be byte for byte the same. Takes two full release builds.
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/skimlet-repro.XXXXXX")

build_in() {
  git clone -q --no-hardlinks "$ROOT" "$1" &&
    (cd "$1" && CCACHE_DISABLE=1 SOURCE_DATE_EPOCH= bash scripts/release.sh >"$work/$(basename "$1").log" 2>&1) ||
    { cat "$work/$(basename "$1").log" 2>/dev/null; echo "FAILED: release build in $1"; return 1; }
}
build_in "$work/a" || exit 1
build_in "$work/second/checkout" || exit 1
if diff -r "$work/a/dist" "$work/second/checkout/dist"; then
  echo "ok: two release builds are identical ($(cd "$work/a/dist" && find . -type f | wc -l) files)"
  rm -rf "$work"
else
  echo "FAILED: the two release builds differ; both are kept in $work"
  exit 1
fi
