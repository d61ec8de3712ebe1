#!/bin/sh
# Builds and runs the list-fill benchmark under Wine:  bench/list_fill.sh [Windows build tree]
# The Wine server and display are started for the run and ended after it.
set -eu
cd "$(dirname "$0")/.."
# By default the tree whose programs run on this machine (the 32-bit one where it can).
. tests/wine/machine.sh
build=${1:-build/$lyrimark_runnable_tree}
[ -f "$build/CMakeCache.txt" ] || cmake --preset "$(basename "$build")"
cmake --build "$build" -j2 --target list_fill_bench
sh tests/wine/wine-start.sh "$build"
trap 'sh tests/wine/wine-stop.sh "$build"' EXIT
LYRIMARK_WINE_TIMEOUT=900 sh tests/wine/wine-run.sh "$build" "$build/bench/list_fill_bench.exe"
