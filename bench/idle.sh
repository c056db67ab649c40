#!/usr/bin/env bash
# What skimlet.exe costs while nobody uses it, under Wine on a fresh 1920x1080x24 display: CPU time (utime + stime
# from /proc/<pid>/stat) and wake-ups over N seconds with the main window shown, then the same with it hidden to the
# tray (bench_memory posts WM_CLOSE). A program's messages cannot be counted from outside, so wake-ups are counted
# as the voluntary context switches of all threads of the Wine process hosting it (/proc/<pid>/task/*/status):
# every time one of them blocked and was woken again. Wine's own threads of that process are included.
#   bench/idle.sh [build folder, default build/windows] [seconds, default 30]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_memory.exe bin/skimlet.exe
seconds=${2:-30}
field() { field_of "$out/driver.txt" "$1"; }
ticks_per_s=$(getconf CLK_TCK)

# Measures over $seconds and prints CPU time, wake-ups (context switches) and the number of 100 ms slices in which
# any happened: a timer tick that makes a few round trips to the wineserver counts as many switches but one slice.
# The sampling itself takes time beside its sleeps, so the rates are taken over the time that really passed.
measure() {
  local pid=$1 cpu0 cpu1 sw0 sw1 last now slices=0 _ t0 t1
  t0=$(date +%s%N); cpu0=$(cpu_ticks "$pid"); sw0=$(voluntary_switches "$pid"); last=$sw0
  for _ in $(seq 1 $((seconds * 10))); do
    sleep 0.1
    now=$(voluntary_switches "$pid")
    [ "$now" != "$last" ] && slices=$((slices + 1))
    last=$now
  done
  cpu1=$(cpu_ticks "$pid"); t1=$(date +%s%N); sw1=$last
  local cpu_ms=$(( (cpu1 - cpu0) * 1000 / ticks_per_s )) wakeups=$((sw1 - sw0)) elapsed_ms=$(( (t1 - t0) / 1000000 ))
  echo "CPU $cpu_ms ms ($(echo "scale=3; $cpu_ms * 100 / $elapsed_ms" | bc) %), $wakeups context switches" \
    "($(echo "scale=1; $wakeups * 1000 / $elapsed_ms" | bc)/s) in $slices of $((seconds * 10)) slices of 100 ms," \
    "$(ls "/proc/$pid/task" | wc -l) thread(s)"
}

start_driver shown idle
shown_line=$(measure "$pid")
driver_step hide hidden "hiding the window"
hidden_line=$(measure "$pid")
finish_driver

print_machine "$out/driver.txt"
echo "idle ${seconds} s, window shown:          $shown_line"
echo "idle ${seconds} s, hidden to the tray:    $hidden_line"
echo "(context switches: voluntary ones of every thread of the Wine process hosting skimlet.exe; slices: 100 ms"
echo " intervals in which that count rose: separate wake-ups, each of which may make several switches)"
[ "$status" = 0 ] || echo "note: bench_memory reported a failure (exit $status; hidden=$(field hidden), running=$(field running_after_close))"
