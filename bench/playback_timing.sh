#!/bin/sh
# Builds and runs the lyrics playback timing benchmark under Wine, with the
# stand-in target of the same tree:  bench/playback_timing.sh [Windows build tree]
# The Wine server and display are started for the run and ended after it.
set -eu
cd "$(dirname "$0")/.."
. bench/wine_tree.sh
bench_tree "${1:-}" playback_timing_bench
LYRIMARK_WINE_TIMEOUT=300 sh tests/wine/wine-run.sh "$build" "$build/bench/playback_timing_bench.exe"
