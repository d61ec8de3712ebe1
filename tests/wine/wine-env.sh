# Sourced with the build tree as $1: the Wine settings every run in that tree uses.
# One prefix per build tree, made once; code page 936 through a generated
# zh_CN.UTF-8 locale (Chinese file names then map to GBK); no debug output,
# no Mono/Gecko installers, no proxy; a fake xdg-open that records addresses.
# LYRIMARK_CODE_PAGE=1252 or 950 runs under another ANSI code page instead, as
# on a Western or a Traditional Chinese Windows.
lyrimark_build=$(cd "$1" && pwd)
lyrimark_wine_state=$lyrimark_build/wine
# (bash names the sourced file in BASH_SOURCE, sh in $0)
lyrimark_wine_tools=$(cd "$(dirname "${BASH_SOURCE:-$0}")" && pwd)
. "$lyrimark_wine_tools/machine.sh"

# The loader is chosen here, not by Debian's wine script, which takes the 32-bit
# one whenever it is installed, even where it cannot run. bin/wine starts it.
# The tree's word size is written by its configure step.
lyrimark_skip=
if [ "$(cat "$lyrimark_wine_state/bits" 2>/dev/null)" = 32 ]; then
  export WINELOADER=/usr/lib/wine/wine
  [ "$LYRIMARK_RUNS_32BIT" = yes ] || lyrimark_skip=${LYRIMARK_RUNS_32BIT#no: }
else
  export WINELOADER=/usr/lib/wine/wine64
fi
# A 32-bit tree on a machine that cannot run it: its programs are skipped (77 is ctest's SKIP).
lyrimark_skip_unless_runnable() {
  if [ -n "$lyrimark_skip" ]; then
    echo "skipped: $lyrimark_skip"
    exit 77
  fi
}

export WINEPREFIX="$lyrimark_wine_state/prefix"
export LOCPATH="$lyrimark_wine_state/locale"
# The locale that gives Wine's programs the code page (wine-start.sh makes the
# generated ones). File names stay UTF-8 on the Unix side in each.
case "${LYRIMARK_CODE_PAGE:=936}" in
  936) export LC_ALL=zh_CN.UTF-8 ;;
  950) export LC_ALL=zh_TW.UTF-8 ;;
  1252) export LC_ALL=C.UTF-8 ;;
  *) echo "wine-env: LYRIMARK_CODE_PAGE=$LYRIMARK_CODE_PAGE; the harness knows 936, 950 and 1252" >&2; exit 2 ;;
esac
export LYRIMARK_CODE_PAGE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LYRIMARK_XDG_OPEN_LOG="${LYRIMARK_XDG_OPEN_LOG:-$lyrimark_wine_state/xdg-open.log}"
export PATH="$lyrimark_wine_tools/bin:$PATH"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy FTP_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
if [ -z "${DISPLAY:-}" ] && [ -f "$lyrimark_wine_state/display" ]; then
  export DISPLAY=":$(cat "$lyrimark_wine_state/display")"
fi
