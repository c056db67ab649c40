# Shared by bench/memory.sh and bench/idle.sh: finding the Linux process that hosts a Windows program under Wine,
# and reading its counters from /proc.
# shellcheck shell=bash

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
