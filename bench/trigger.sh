#!/usr/bin/env bash
# The task trigger: fifty nag windows shown one after another by another process with ten task lines loaded, the
# time from each being shown to its being gone with the trigger and with the idle runner alone (fewer windows: it
# takes tens of seconds each); then the program's CPU time while idle with the hook installed and without it, on a
# quiet desktop and while another process keeps showing windows that no line matches. bench_trigger under Wine on a
# fresh 1920x1080x24 display.
#   bench/trigger.sh [build folder, default build/windows] [windows, default 50] [idle-runner windows, default 5]
#                    [idle seconds, default 10]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_trigger.exe tests/nag_fixture.exe
wine "$build/bench/bench_trigger.exe" "$(winepath -w "$build/tests/nag_fixture.exe")" "${2:-50}" "${3:-5}" "${4:-10}" \
  2>/dev/null | tr -d '\r' > "$out/trigger.txt"
f() { field_of "$out/trigger.txt" "$1"; }
print_machine "$out/trigger.txt"
echo "task lines: $(f task_lines), hook installed: $(f hook_installed)"
for mode in trigger idle_runner; do
  printf '%-12s visible-to-gone: median %s ms, 95th percentile %s ms, max %s ms (%s gone, %s stayed)\n' "$mode" \
    "$(f ${mode}_ms_median)" "$(f ${mode}_ms_p95)" "$(f ${mode}_ms_max)" "$(f ${mode}_gone)" "$(f ${mode}_stayed)"
done
echo "idle CPU over $(f idle_s) s, quiet desktop:   without hook $(f cpu_ms_quiet_without_hook) ms," \
  "with hook $(f cpu_ms_quiet_with_hook) ms"
echo "idle CPU over $(f idle_s) s, other windows:   without hook $(f cpu_ms_churn_without_hook) ms," \
  "with hook $(f cpu_ms_churn_with_hook) ms"
