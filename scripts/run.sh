#!/usr/bin/env bash
# Sets up, builds the program and runs the local demo: the local web site, the
# stand-in chat client (a window with a nickname field), a stand-in music
# player that plays two of the demo's songs over and over, and Lyrimark, under
# Wine. The shipped 32-bit program where this machine runs 32-bit programs, the
# 64-bit one otherwise. On your display when DISPLAY is set, else on a private
# Xvfb, with a screenshot saved. Runs until Lyrimark is closed (or Ctrl-C).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

. tests/wine/machine.sh
tree=$lyrimark_runnable_tree
if [ $tree = win32 ]; then
  echo "running the shipped 32-bit program: this machine runs 32-bit programs"
else
  echo "running the 64-bit program: ${LYRIMARK_RUNS_32BIT#no: }"
fi
build=build/$tree
mkdir -p build/logs
log=build/logs/run-build.log
echo "building the $tree program (log: $log)"
if ! { cmake --preset $tree && cmake --build --preset $tree; } >"$log" 2>&1; then
  grep -E 'error' "$log" | head -20
  echo "building the $tree program failed; log: $log"
  exit 1
fi

demo=$PWD/$build/demo
rm -rf "$demo"
mkdir -p "$demo/lyrics"
# The program and a folder of songs as a user would have them: Chinese names,
# files in GBK, UTF-8 (with and without a mark) and UTF-16, and one whose
# Japanese name GBK cannot spell.
cp "$build/src/lyrimark.exe" "$demo/"
while IFS=$'\t' read -r file singer title; do
  case "$file" in ''|\#*) continue ;; esac
  case "$title" in *[/\\:]*|..|CON|NUL|com1) continue ;; esac
  cp "tools/site/catalogue/$file" "$demo/lyrics/$title.lrc"
done <tools/site/catalogue/index.tsv
cp "$demo"/lyrics/*.lrc "$demo/"

had_display=${DISPLAY:-}
sh tests/wine/wine-start.sh "$build" >/dev/null
. tests/wine/wine-env.sh "$build" 2>/dev/null  # bash itself cannot load the generated locale

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sh tests/wine/wine-stop.sh "$build" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

/usr/bin/python3 tools/site/site.py --log "$demo/site-requests.log" >"$demo/site.out" 2>"$demo/site.err" &
pids+=($!)
for _ in $(seq 50); do grep -q '^ready' "$demo/site.out" 2>/dev/null && break; sleep 0.1; done
grep -q '^ready' "$demo/site.out" || { echo "the local site did not start; log: $demo/site.err"; exit 1; }

wine "$build/tools/target/target.exe" "$demo/target.log" >"$demo/target.out" 2>&1 &
pids+=($!)
# Two songs whose lyrics the demo folder has, each followed by a pause.
printf '%s\n' 'song 1|李白|静夜思|31000' 'wait 33000' 'song 2|王之涣|登鹳雀楼|28000' 'wait 30000' >"$demo/player.txt"
wine "$build/tools/player/player.exe" "$demo/player.txt" --loop >"$demo/player.out" 2>&1 &
pids+=($!)
(cd "$demo" && exec wine lyrimark.exe) >"$demo/lyrimark.out" 2>&1 &
lyrimark=$!
pids+=($lyrimark)

echo "running: the local site (http://127.0.0.1:18080/), the stand-in target, the stand-in player, and Lyrimark"
echo "songs in $demo/lyrics; the target logs what its field receives to $demo/target.log"
echo "the second page's search for 月 finds songs of the lyrics site and of the lyrics service"
echo "to follow the player: drag the finder onto the target's field, then tick 跟随正在播放的歌曲 on the page 跟随播放"
if [ -z "$had_display" ]; then
  # The main window shows once the announcement page has been read.
  for _ in $(seq 60); do
    xdotool search --name 'Lyrimark' >/dev/null 2>&1 && break
    kill -0 "$lyrimark" 2>/dev/null || break
    sleep 0.5
  done
  sleep 1
  import -window root "$demo/screenshot.png"
  echo "no DISPLAY: running on Xvfb $DISPLAY; screenshot: $demo/screenshot.png"
  echo "(VNC or xdotool on DISPLAY=$DISPLAY reach it; Ctrl-C ends the demo)"
fi
wait "$lyrimark" || true
