#!/bin/sh
# ctest's emulator for Windows executables: wine-run.sh <build tree> <exe> [args...]
# Wine's output goes to files, not pipes (a pipe would stay open until the
# wineserver exits), and the run is bounded.
. "$(dirname "$0")/wine-env.sh" "$1"
shift
lyrimark_skip_unless_runnable
out=$(mktemp -d "$lyrimark_wine_state/run.XXXXXX")
timeout -k 5 "${LYRIMARK_WINE_TIMEOUT:-280}" wine "$@" </dev/null >"$out/stdout" 2>"$out/stderr"
rc=$?
cat "$out/stdout"
cat "$out/stderr" >&2
rm -rf "$out"
exit $rc
