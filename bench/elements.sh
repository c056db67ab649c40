#!/usr/bin/env bash
# Accessible elements: the element at a point, a task's element found in a tree of 2,000 elements (both in another
# process, element_fixture), and reading the same window's information; bench_elements under Wine on a fresh
# 1920x1080x24 display.
#   bench/elements.sh [build folder, default build/windows] [runs, default 50]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_elements.exe tests/element_fixture.exe
wine "$build/bench/bench_elements.exe" "$(winepath -w "$build/tests/element_fixture.exe")" "${2:-50}" \
  2>/dev/null | tr -d '\r' > "$out/elements.txt"
f() { field_of "$out/elements.txt" "$1"; }
print_machine "$out/elements.txt"
echo "runs: $(f runs), medians"
echo "element at a point:                    $(f element_at_point_ms_median) ms ($(f element_at_point_found) found)"
echo "task element, tree of $(f tree_elements):          $(f task_element_in_tree_ms_median) ms ($(f task_element_found) found)"
echo "window information (target helper):    $(f window_info_ms_median) ms"
