#!/bin/sh
# Builds and runs the lyrics-encoding benchmark under Wine:  bench/lyrics_encoding.sh [Windows build tree]
# The Wine server and display are started for the run and ended after it.
set -eu
cd "$(dirname "$0")/.."
. bench/wine_tree.sh
bench_tree "${1:-}" lyrics_encoding_bench
sh tests/wine/wine-run.sh "$build" "$build/bench/lyrics_encoding_bench.exe"
