#!/bin/sh
# Start-up time and working set of the program beside the stand-in target,
# under Wine with the local site serving the announcement page:
#   bench/startup_bench.sh [Windows build tree] [runs]
set -eu
cd "$(dirname "$0")/.."
. bench/wine_tree.sh
bench_tree "${1:-}" startup_bench lyrimark target
sh tests/wine/with-site.sh "$build" sh tests/wine/wine-run.sh "$build" "$build/bench/startup_bench.exe" \
  "Z:$(cd "$build" && pwd)/src/lyrimark.exe" "Z:$(cd "$build" && pwd)/tools/target/target.exe" "${2:-10}"
