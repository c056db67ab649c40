#!/usr/bin/env bash
# Two releases of the committed HEAD, from two clean checkouts in folders of different names and depths, built
# without the compiler cache: every file in dist/ must be byte for byte the same. Takes two full release builds.
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/skimlet-repro.XXXXXX")
commit=$(git -C "$ROOT" rev-parse HEAD)
checkouts=("$work/a" "$work/second/checkout")

for dir in "${checkouts[@]}"; do
  git clone -q --no-hardlinks --no-checkout "$ROOT" "$dir" && git -C "$dir" checkout -q "$commit" || exit 1
done
for dir in "${checkouts[@]}"; do
  (cd "$dir" && CCACHE_DISABLE=1 SOURCE_DATE_EPOCH= bash scripts/release.sh >"$dir.log" 2>&1) ||
    { cat "$dir.log"; echo "FAILED: release build in $dir"; exit 1; }
done
if diff -r "${checkouts[0]}/dist" "${checkouts[1]}/dist"; then
  echo "ok: two release builds are identical ($(cd "${checkouts[0]}/dist" && find . -type f | wc -l) files)"
  rm -rf "$work"
else
  echo "FAILED: the two release builds differ; both are kept in $work"
  exit 1
fi
