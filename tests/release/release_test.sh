#!/usr/bin/env bash
# The release path end to end: a release configured with a loopback address, or
# without an update key, is refused with a message naming the variable;
# scripts/release.sh builds the 32-bit zip with example addresses and a key of
# this run, and the zip holds what a user unpacks.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export LYRIMARK_HOME_URL=https://lyrimark.example/
export LYRIMARK_FAN_URL=https://lyrimark.example/fans/
export LYRIMARK_ANNOUNCE_URL=https://lyrimark.example/announce.html
export LYRIMARK_LYRICS_URL=https://lyrics.lyrimark.example
key=$(/usr/bin/python3 "$root/tools/sign_update/sign_update.py" key "$work/update.pem") || fail "no key made"
export LYRIMARK_UPDATE_PUBLIC_KEY=${key#-DLYRIMARK_UPDATE_PUBLIC_KEY=}

# refused <what> <message> <variable=value...>: the release configure step fails with the message.
refused() {
  local what=$1 message=$2
  shift 2
  rm -rf "$work/refused"
  if env "$@" cmake -S "$root" --preset release-win32 -B "$work/refused" >"$work/refused.log" 2>&1; then
    fail "a release $what was configured"
  fi
  # CMake wraps its messages: the text is searched with the lines joined.
  tr -s ' \n' ' ' <"$work/refused.log" | grep -qF "$message" ||
    fail "no message naming the variable: $(cat "$work/refused.log")"
  echo "ok: a release $what is refused, naming the variable"
}
refused "with a loopback address" \
  "LYRIMARK_ANNOUNCE_URL (http://127.0.0.1:18080/announce.html) points at this machine" \
  LYRIMARK_ANNOUNCE_URL=http://127.0.0.1:18080/announce.html
refused "without an update key" "LYRIMARK_UPDATE_PUBLIC_KEY is empty" LYRIMARK_UPDATE_PUBLIC_KEY=

# The synced-lyrics service may be left out (the zip below is built without
# it), but never be this machine.
refused "with a loopback lyrics service" "LYRIMARK_LRCLIB_URL (http://127.0.0.1:18082) points at this machine" \
  LYRIMARK_LRCLIB_URL=http://127.0.0.1:18082

LYRIMARK_DIST=$work/dist "$root/scripts/release.sh" win32 >"$work/release.log" 2>&1 ||
  fail "release.sh failed: $(tail -20 "$work/release.log")"
version=$(sed -n 's/^project(Lyrimark VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
zip=$work/dist/Lyrimark-$version-win32.zip
(cd "$work/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the zip"
entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
expected="Lyrimark-$version/ Lyrimark-$version/LICENSE.txt Lyrimark-$version/lyrimark.exe Lyrimark-$version/使用说明.txt "
[ "$entries" = "$expected" ] || fail "entries: $entries"
unzip -q "$zip" -d "$work/unpacked"
guide=$work/unpacked/Lyrimark-$version/使用说明.txt
[ "$(head -c3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the guide has no UTF-8 byte order mark"
! grep -q $'[^\r]$' "$guide" || fail "the guide has lines without CR LF"
strings -a -el "$work/unpacked/Lyrimark-$version/lyrimark.exe" | grep -qx "$version" ||
  fail "the exe's version resource does not say $version"
echo "ok: $(basename "$zip"): $entries"
