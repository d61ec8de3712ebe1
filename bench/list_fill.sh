#!/bin/sh
# Builds and runs the list-fill benchmark under Wine:  bench/list_fill.sh [Windows build tree]
# The Wine server and display are started for the run and ended after it.
set -eu
cd "$(dirname "$0")/.."
. bench/wine_tree.sh
bench_tree "${1:-}" list_fill_bench
LYRIMARK_WINE_TIMEOUT=900 sh tests/wine/wine-run.sh "$build" "$build/bench/list_fill_bench.exe"
