#!/bin/sh
# A whole search under Wine, both sources beside each alone, against the local
# site on its default ports (the addresses compiled in; run it under
# flock /tmp/lyrimark-site.lock when other tests may use them):
#   bench/search_bench.sh [Windows build tree]
set -eu
cd "$(dirname "$0")/.."
. bench/wine_tree.sh
bench_tree "${1:-}" search_bench
sh tests/wine/with-site.sh "$build" sh tests/wine/wine-run.sh "$build" "$build/bench/search_bench.exe"
