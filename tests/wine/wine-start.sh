#!/bin/sh
# Prepares Wine for one build tree: locale, display, prefix (once), and a
# persistent wineserver for the run. Every step is bounded; a step that fails
# says so in one line with its log, and what was started here is ended again.
set -eu
. "$(dirname "$0")/wine-env.sh" "$1"
lyrimark_skip_unless_runnable
mkdir -p "$lyrimark_wine_state"

fail() {
  echo "wine-start: $1 (build tree $lyrimark_build); log: $2" >&2
  sh "$lyrimark_wine_tools/wine-stop.sh" "$lyrimark_build"
  exit 1
}

# The generated locales of the code pages the harness runs under (wine-env.sh).
for locale in zh_CN zh_TW; do
  if [ ! -f "$LOCPATH/$locale.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$LOCPATH"
    # localedef warns about the Debian source and still writes the locale
    localedef -i $locale -f UTF-8 "$LOCPATH/$locale.UTF-8" >"$lyrimark_wine_state/localedef.log" 2>&1 || true
    [ -f "$LOCPATH/$locale.UTF-8/LC_CTYPE" ] ||
      fail "localedef made no $locale.UTF-8 locale" "$lyrimark_wine_state/localedef.log"
  fi
done

# Our own X server when none is given, on a display number it picks itself.
if [ -z "${DISPLAY:-}" ]; then
  rm -f "$lyrimark_wine_state/display.new"
  setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 \
    3>"$lyrimark_wine_state/display.new" </dev/null >"$lyrimark_wine_state/xvfb.log" 2>&1 &
  echo $! >"$lyrimark_wine_state/xvfb.pid"
  i=0
  while [ ! -s "$lyrimark_wine_state/display.new" ]; do
    i=$((i + 1)); [ $i -le 100 ] || fail "Xvfb did not start" "$lyrimark_wine_state/xvfb.log"
    sleep 0.1
  done
  tr -d '\n' <"$lyrimark_wine_state/display.new" >"$lyrimark_wine_state/display"
  export DISPLAY=":$(cat "$lyrimark_wine_state/display")"
fi

# A prefix records the recipe it was made by: one made by an older recipe is made again.
recipe="prefix 2: wineboot, Marlett, unmanaged windows, no crash dialog"
if [ "$(cat "$lyrimark_wine_state/prefix.ready" 2>/dev/null)" != "$recipe" ]; then
  log=$lyrimark_wine_state/wineboot.log
  rm -rf "$WINEPREFIX"
  timeout -k 5 300 wine wineboot -i </dev/null >"$log" 2>&1 || fail "making the Wine prefix failed" "$log"
  # The title bars draw their buttons with Marlett, which this Wine finds only
  # in the prefix's Fonts folder (fonts-wine puts it in Wine's data folder).
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>>"$log" ||
    fail "Wine's Marlett font is missing (package fonts-wine)" "$log"
  # Without a window manager a managed top-level window takes 2 s to close;
  # a crash must never wait on a dialog.
  timeout -k 5 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$log" 2>&1 &&
    timeout -k 5 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >>"$log" 2>&1 &&
    timeout -k 5 60 wineserver -w >>"$log" 2>&1 || fail "setting up the Wine prefix failed" "$log"
  echo "$recipe" >"$lyrimark_wine_state/prefix.ready"
fi

# A persistent server for the run: each start then takes ~0.1 s instead of ~0.7 s.
setsid timeout -k 5 30 wineserver -p </dev/null >/dev/null 2>&1 || true
echo "wine ready: prefix $WINEPREFIX, display $DISPLAY, loader $WINELOADER"
