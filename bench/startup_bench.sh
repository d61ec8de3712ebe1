#!/bin/sh
# Start-up time and working set of the program beside the stand-in target,
# under Wine with the local site serving the announcement page:
#   bench/startup_bench.sh [Windows build tree] [runs]
set -eu
cd "$(dirname "$0")/.."
# By default the tree whose programs run on this machine (the 32-bit one where it can).
. tests/wine/machine.sh
build=${1:-build/$lyrimark_runnable_tree}
[ -f "$build/CMakeCache.txt" ] || cmake --preset "$(basename "$build")"
cmake --build "$build" -j2 --target startup_bench lyrimark target
sh tests/wine/wine-start.sh "$build"
trap 'sh tests/wine/wine-stop.sh "$build"' EXIT
sh tests/wine/with-site.sh "$build" sh tests/wine/wine-run.sh "$build" "$build/bench/startup_bench.exe" \
  "Z:$(cd "$build" && pwd)/src/lyrimark.exe" "Z:$(cd "$build" && pwd)/tools/target/target.exe" "${2:-10}"
