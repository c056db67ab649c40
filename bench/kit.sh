# Shared by the benchmark scripts (source it after setting ROOT): the packages they need, the build folder and its
# programs, a temporary folder, a fresh display and Wine, the machine lines, and the /proc counters of a Windows
# program under Wine.
# shellcheck shell=bash
source "$ROOT/scripts/common.sh"

# What the build and the tests need, and bc for the scripts' arithmetic with decimals.
BENCH_PACKAGES=("${PACKAGES[@]}" bc)

# bench_open [build folder] [file...]: installs what is missing of BENCH_PACKAGES; sets $build (the folder given,
# else build/windows) and checks that each file, given relative to it, has been built; makes $out, a temporary folder
# removed on exit; starts a fresh 1920x1080x24 display and Wine with the build's prefix, both stopped on exit, at
# 96 DPI (a test run can leave the prefix at 144 DPI, where the larger windows cost more time and memory).
bench_open() {
  ensure_packages "${BENCH_PACKAGES[@]}" || exit 1
  build=$(cd "${1:-$ROOT/build/windows}" && pwd) || exit 1
  shift
  local f
  for f in "$@"; do
    [ -f "$build/$f" ] || { echo "no $build/$f: build it first (bench/run-all.sh builds every benchmark)" >&2; exit 1; }
  done
  out=$(mktemp -d)
  trap 'stop_everything; rm -rf "$out"' EXIT
  start_display || exit 1
  start_wine "$build/wineprefix"
  set_wine_dpi 96
}

# field_of FILE KEY: the value of the KEY=value line that a benchmark program printed into FILE.
field_of() { tr -d '\r' < "$1" | grep "^$2=" | cut -d= -f2-; }

# The processor's name as Linux reports it (under Wine, Windows programs see the same name).
host_cpu() { grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'; }

# The machine and display lines, with the display that the benchmark program in FILE reported.
print_machine() {
  echo "machine: $(host_cpu); $(nproc) logical CPUs; $(uname -sr)"
  echo "display: $(field_of "$1" display) (Xvfb, $DISPLAY), Wine $(wine --version 2>/dev/null)"
}

# Prints the pid of the process running the named program (e.g. skimlet.exe) in this script's $WINEPREFIX.
wine_pid_of() {
  local name=$1 p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null < "$p/cmdline" | head -1 | grep -qi "[\\/]$name\$" || continue
    tr '\0' '\n' 2>/dev/null < "$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "${p#/proc/}"
    return 0
  done
  return 1
}

# A field of /proc/<pid>/status in kB, e.g. status_kb 1234 RssAnon.
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

# utime + stime of the whole process, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

# Voluntary context switches summed over every thread of the process.
voluntary_switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '$1 == "voluntary_ctxt_switches:" { s += $2 } END { print s + 0 }'
}

# Waits until the marker file exists, or the process with the given pid has gone (then returns 1).
wait_marker() {
  local file=$1 pid=$2 _
  for _ in $(seq 1 6000); do
    [ -f "$file" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# start_driver MARKER ARGUMENT...: runs bench_memory with skimlet.exe and the arguments in the background (its output
# in $out/driver.txt) and waits until it has made the marker file; then $driver_pid is the driver and $pid the Wine
# process hosting skimlet.exe.
start_driver() {
  local marker=$1
  shift
  wine "$build/bench/bench_memory.exe" "$(winepath -w "$out")" "$(winepath -w "$build/bin/skimlet.exe")" "$@" \
    > "$out/driver.txt" 2>/dev/null &
  driver_pid=$!
  wait_marker "$out/$marker" "$driver_pid" || { echo "skimlet.exe did not start" >&2; cat "$out/driver.txt"; exit 1; }
  pid=$(wine_pid_of skimlet.exe) || { echo "no Wine process hosts skimlet.exe" >&2; exit 1; }
}

# driver_step SIGNAL MARKER WHAT: lets the driver go on to its next stage (it waits for the SIGNAL file) and waits
# until it has made the MARKER file; says that WHAT failed and exits when the driver ends first.
driver_step() {
  touch "$out/$1"
  wait_marker "$out/$2" "$driver_pid" || { echo "$3 failed" >&2; tr -d '\r' < "$out/driver.txt"; exit 1; }
}

# finish_driver: tells the driver it is done and sets $status to its exit code.
finish_driver() {
  touch "$out/done"
  wait "$driver_pid"
  status=$?
}
