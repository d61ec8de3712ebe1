#!/bin/sh
# Runs a command while the local site serves on free ports, with an update file
# of known bytes: with-update-site.sh <build tree> <command...>
# The command finds the maker's site in LYRIMARK_SITE_MAKER (http://127.0.0.1:N),
# the FTP server in LYRIMARK_SITE_FTP (ftp://127.0.0.1:N) and the served bytes in
# LYRIMARK_UPDATE_FILE (a Unix path; under Wine, Z: followed by the path).
# Free ports let several build trees test at once; the site is ended by its PID.
set -u
build=$(cd "$1" && pwd)
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
state=$(mktemp -d "$build/update-site.XXXXXX")
head -c 1048576 /dev/urandom >"$state/update.bin"
/usr/bin/python3 "$root/tools/site/site.py" --maker-port 0 --lyrics-port 0 --ftp-port 0 \
  --update-file "$state/update.bin" --stderr-log "$state/site.err" >"$state/site.out" 2>&1 &
site=$!
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null; rm -rf "$state"' EXIT
trap 'exit 1' INT TERM
i=0
until grep -q '^ready' "$state/site.out" 2>/dev/null; do
  i=$((i + 1))
  if [ $i -gt 100 ] || ! kill -0 $site 2>/dev/null; then
    echo "with-update-site: the local site did not start" >&2
    cat "$state/site.out" "$state/site.err" >&2
    exit 1
  fi
  sleep 0.1
done
read -r _ maker _ ftp <"$state/site.out"
export LYRIMARK_SITE_MAKER="$maker" LYRIMARK_SITE_FTP="$ftp" LYRIMARK_UPDATE_FILE="$state/update.bin"
"$@"
exit $?
