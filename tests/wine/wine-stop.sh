#!/bin/sh
# Ends what wine-start.sh started for this build tree: its wineserver and its Xvfb.
set -u
. "$(dirname "$0")/wine-env.sh" "$1"
timeout -k 5 30 wineserver -k >/dev/null 2>&1
if [ -f "$lyrimark_wine_state/xvfb.pid" ]; then
  pid=$(cat "$lyrimark_wine_state/xvfb.pid")
  kill "$pid" 2>/dev/null
  rm -f "$lyrimark_wine_state/xvfb.pid" "$lyrimark_wine_state/display" "$lyrimark_wine_state/display.new"
fi
exit 0
