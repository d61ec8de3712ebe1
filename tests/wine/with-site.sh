#!/bin/sh
# Runs a command while the local site serves: with-site.sh <build tree> [--update] <command...>
# On its default ports (the addresses compiled into the program); with --update
# on free ports instead (so several trees can test at once), serving an update
# file of known bytes. The command finds the maker's site in LYRIMARK_SITE_MAKER
# (http://127.0.0.1:N), the FTP server in LYRIMARK_SITE_FTP (ftp://127.0.0.1:N),
# the site's request log in LYRIMARK_SITE_LOG and, with --update, the served
# bytes in LYRIMARK_UPDATE_FILE (Unix paths; under Wine, Z: followed by the path).
# The site is ended by its PID, whatever the command does.
set -u
build=$(cd "$1" && pwd)
shift
state=$(mktemp -d "$build/site.XXXXXX")
site=
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null; rm -rf "$state"' EXIT
trap 'exit 1' INT TERM
export LYRIMARK_SITE_LOG="$state/requests.log"
serve() {
  /usr/bin/python3 "$(dirname "$0")/../../tools/site/site.py" --log "$LYRIMARK_SITE_LOG" \
    --stderr-log "$state/site.err" "$@" >"$state/site.out" 2>&1 &
  site=$!
}
if [ "${1:-}" = --update ]; then
  shift
  export LYRIMARK_UPDATE_FILE="$state/update.bin"
  head -c 1048576 /dev/urandom >"$LYRIMARK_UPDATE_FILE"
  serve --maker-port 0 --lyrics-port 0 --ftp-port 0 --service-port 0 --update-file "$LYRIMARK_UPDATE_FILE"
else
  serve
fi
i=0
until grep -q '^ready' "$state/site.out" 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 100 ] || ! kill -0 $site 2>/dev/null; then
    echo "with-site: the local site did not start" >&2
    cat "$state/site.out" "$state/site.err" >&2 2>/dev/null
    exit 1
  fi
  sleep 0.1
done
read -r _ LYRIMARK_SITE_MAKER _ LYRIMARK_SITE_FTP _ <"$state/site.out"
export LYRIMARK_SITE_MAKER LYRIMARK_SITE_FTP
"$@"
