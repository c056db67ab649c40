#!/usr/bin/env bash
# For development: runs a command with a private virtual display and a wineserver for one build folder.
#   scripts/with-wine.sh build/windows ctest --test-dir build/windows -R gui
set -uo pipefail
source "$(dirname "$0")/common.sh"
build=$(cd "$1" && pwd); shift
trap stop_everything EXIT
start_display || exit 1
start_wine "$build/wineprefix"
"$@"
