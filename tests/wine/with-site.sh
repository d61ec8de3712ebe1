#!/bin/sh
# Runs a command while the local site serves on its default ports (the
# addresses compiled into the program): with-site.sh <build tree> <command...>
# The site's request log is $LYRIMARK_SITE_LOG (a Unix path; under Wine it is
# Z: followed by the path). The site is ended by its PID, whatever the command does.
build=$(cd "$1" && pwd)
shift
state=$build/wine
mkdir -p "$state"
export LYRIMARK_SITE_LOG="$state/site-requests.log"
: >"$LYRIMARK_SITE_LOG"
root=$(cd "$(dirname "$0")/../.." && pwd)
/usr/bin/python3 "$root/tools/site/site.py" --log "$LYRIMARK_SITE_LOG" >"$state/site.out" 2>"$state/site.err" &
site=$!
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null' EXIT INT TERM
i=0
until grep -q '^ready' "$state/site.out" 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 100 ] || ! kill -0 $site 2>/dev/null; then
    echo "with-site: the local site did not start" >&2
    cat "$state/site.err" >&2
    exit 1
  fi
  sleep 0.1
done
"$@"
