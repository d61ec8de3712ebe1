#!/bin/sh
# The update downloader beside curl (one connection) and aria2c (five, when
# installed) in one run: a 200 MB file from the local site on loopback, three
# rounds taken in turn, the median of each. Every copy is checked against the file.
#   bench/download_bench.sh <Windows build tree>     (e.g. build/win32)
# With BASELINE=<another download_bench.exe> (built from an earlier commit) its
# downloader runs in the same rounds as "baseline", so a change is measured
# beside what it changed.
# Prints MB/s, the ratio to curl, and CPU seconds (user + kernel of the
# downloading process; for the Windows ways also the Wine server's share).
set -eu
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$build/bench/download_bench.exe
[ -f "$exe" ] || { echo "build $exe first (target download_bench)" >&2; exit 1; }
rounds=${ROUNDS:-3}

work=$(mktemp -d /tmp/lyrimark-download-bench.XXXXXX)
head -c 209715200 /dev/urandom >"$work/file.bin"
/usr/bin/python3 "$root/tools/site/site.py" --maker-port 0 --lyrics-port 0 --ftp-port 0 --service-port 0 \
  --update-file "$work/file.bin" >"$work/site.out" 2>&1 &
site=$!
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
i=0
until grep -q '^ready' "$work/site.out"; do
  i=$((i + 1)); [ $i -le 100 ] || { echo "the local site did not start" >&2; exit 1; }
  sleep 0.1
done
read -r _ maker _ _ <"$work/site.out"
address=$maker/update/file.bin

sh "$root/tests/wine/wine-start.sh" "$build" >/dev/null
# (sourced by sh, the settings would look for their helpers beside this script: read apart)
WINEPREFIX=$(sh -c '. "$0" "$1" && echo "$WINEPREFIX"' "$root/tests/wine/wine-env.sh" "$build")
# The Wine server of this prefix works in a directory named after the prefix's
# device and inode; its CPU time counts for the Windows ways.
server_id=$(printf 'server-%s-%x' "$(stat -c %D "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server_pid() {
  for pid in $(pgrep -x 'wineserver(64)?'); do
    case $(readlink "/proc/$pid/cwd") in */"$server_id") echo "$pid" ;; esac
  done | tail -1
}
server_cpu() {  # seconds of user + system time of the server $1
  if [ -n "$1" ] && [ -r "/proc/$1/stat" ]; then
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"
  else echo 0; fi
}

same() { cmp -s "$work/file.bin" "$1" || { echo "$2: the copy differs from the file" >&2; exit 1; }; rm -f "$1"; }

# Each way prints "<seconds> <cpu seconds>" for one download.
run_curl() {
  out=$( { /usr/bin/time -f "%U %S" curl -s -o "$work/curl.bin" -w "%{time_total}\n" "$address"; } 2>&1 )
  same "$work/curl.bin" curl
  echo "$out" | awk 'NR==1 { t = $1 } NR==2 { printf "%s %.2f\n", t, $1 + $2 }'
}
run_aria2c() {
  start=$(date +%s.%N)
  out=$( { /usr/bin/time -f "%U %S" aria2c -q -x5 -s5 -k1M --allow-overwrite=true --file-allocation=none \
    -d "$work" -o aria2c.bin "$address"; } 2>&1 )
  end=$(date +%s.%N)
  same "$work/aria2c.bin" aria2c
  echo "$out" | awk -v s="$start" -v e="$end" 'END { printf "%.3f %.2f\n", e - s, $1 + $2 }'
}
run_windows() {  # way [exe]
  server=$(server_pid)
  before=$(server_cpu "$server")
  line=$(sh "$root/tests/wine/wine-run.sh" "$build" "${2:-$exe}" "$1" "$address" "Z:$work/$1.bin" | tr -d '\r')
  after=$(server_cpu "$server")
  same "$work/$1.bin" "$1"
  echo "$line" | awk -v b="$before" -v a="$after" '{ printf "%s %.2f %.2f\n", $1, $2 + $3, a - b }'
}

ways="curl"
command -v aria2c >/dev/null && ways="$ways aria2c"
ways="$ways downloader"
[ -n "${BASELINE:-}" ] && ways="$ways baseline"
ways="$ways socket-1 wininet-1"
for r in $(seq "$rounds"); do
  for way in $ways; do
    case $way in
      curl) result=$(run_curl) ;;
      aria2c) result=$(run_aria2c) ;;
      baseline) result=$(run_windows downloader "$BASELINE") ;;
      *) result=$(run_windows "$way") ;;
    esac
    echo "$way $result" >>"$work/results"
  done
done
sh "$root/tests/wine/wine-stop.sh" "$build" >/dev/null

echo "200 MB from the local site on loopback; median of $rounds rounds; $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-12s %8s %8s %9s %9s\n' way MB/s vs-curl "cpu s" "server s"
for way in $ways; do
  grep "^$way " "$work/results" | sort -k2 -n | awk -v n="$rounds" 'NR == int((n + 1) / 2)'
done | awk '
  { mbs = 200 / $2; if ($1 == "curl") curl = mbs; line[NR] = $0; speed[NR] = mbs }
  END {
    for (i = 1; i <= NR; i++) {
      split(line[i], f, " ")
      printf "%-12s %8.1f %8.2f %9s %9s\n", f[1], speed[i], speed[i] / curl, f[3], (f[4] == "" ? "-" : f[4])
    }
  }'
