#!/bin/sh
# Runs a Windows test program under Wine: the first argument is the Wine prefix, the rest is the command.
# The display and the wineserver are expected to be running already (scripts/test.sh starts them).
prefix=$1; shift
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-exec: no DISPLAY; run the Windows tests through scripts/test.sh" >&2
  exit 1
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
