#!/bin/sh
# Prepares Wine for one build tree: locale, display, prefix (once), and a
# persistent wineserver for the run. Every step is bounded.
set -eu
. "$(dirname "$0")/wine-env.sh" "$1"
mkdir -p "$lyrimark_wine_state"

if [ ! -f "$LOCPATH/zh_CN.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$LOCPATH"
  # localedef warns about the Debian source and still writes the locale
  localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" >/dev/null 2>&1 || true
  [ -f "$LOCPATH/zh_CN.UTF-8/LC_CTYPE" ] || { echo "wine-start: localedef failed" >&2; exit 1; }
fi

# Our own X server when none is given, on a display number it picks itself.
if [ -z "${DISPLAY:-}" ]; then
  rm -f "$lyrimark_wine_state/display.new"
  setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 \
    3>"$lyrimark_wine_state/display.new" </dev/null >"$lyrimark_wine_state/xvfb.log" 2>&1 &
  echo $! >"$lyrimark_wine_state/xvfb.pid"
  i=0
  while [ ! -s "$lyrimark_wine_state/display.new" ]; do
    i=$((i + 1)); [ $i -le 100 ] || { echo "wine-start: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
  done
  tr -d '\n' <"$lyrimark_wine_state/display.new" >"$lyrimark_wine_state/display"
  export DISPLAY=":$(cat "$lyrimark_wine_state/display")"
fi

if [ ! -f "$lyrimark_wine_state/prefix.ready" ]; then
  rm -rf "$WINEPREFIX"
  timeout -k 5 300 wineboot -i </dev/null >"$lyrimark_wine_state/wineboot.log" 2>&1
  # Without a window manager a managed top-level window takes 2 s to close;
  # a crash must never wait on a dialog.
  timeout -k 5 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  timeout -k 5 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  timeout -k 5 60 wineserver -w
  touch "$lyrimark_wine_state/prefix.ready"
fi

# A persistent server for the run: each start then takes ~0.1 s instead of ~0.7 s.
setsid timeout -k 5 30 wineserver -p </dev/null >/dev/null 2>&1 || true
echo "wine ready: prefix $WINEPREFIX, display $DISPLAY"
