# Sourced with the build tree as $1: the Wine settings every run in that tree uses.
# One prefix per build tree, made once; code page 936 through a generated
# zh_CN.UTF-8 locale (Chinese file names then map to GBK); no debug output,
# no Mono/Gecko installers, no proxy; a fake xdg-open that records addresses.
lyrimark_build=$(cd "$1" && pwd)
lyrimark_wine_state=$lyrimark_build/wine
lyrimark_wine_tools=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$lyrimark_wine_state/prefix"
export LOCPATH="$lyrimark_wine_state/locale"
export LC_ALL=zh_CN.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LYRIMARK_XDG_OPEN_LOG="${LYRIMARK_XDG_OPEN_LOG:-$lyrimark_wine_state/xdg-open.log}"
export PATH="$lyrimark_wine_tools/bin:$PATH"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy FTP_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
if [ -z "${DISPLAY:-}" ] && [ -f "$lyrimark_wine_state/display" ]; then
  export DISPLAY=":$(cat "$lyrimark_wine_state/display")"
fi
