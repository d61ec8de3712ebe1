#!/usr/bin/env bash
# Builds the release zips from the current commit:
#   LYRIMARK_HOME_URL=... LYRIMARK_FAN_URL=... LYRIMARK_ANNOUNCE_URL=... \
#   LYRIMARK_LYRICS_URL=... LYRIMARK_UPDATE_PUBLIC_KEY=... scripts/release.sh [win32|win64 ...]
# (both by default). LYRIMARK_UPDATE_PUBLIC_KEY is the key that updates must be
# signed with (tools/sign_update makes it); a release without one takes
# unsigned updates and is built only with LYRIMARK_UNSIGNED_UPDATES=ON and an
# https:// announcement address. Writes dist/Lyrimark-<version>-<arch>.zip and
# dist/SHA256SUMS (LYRIMARK_DIST names another folder). The same commit and
# addresses give the same bytes, in whatever folder the checkout lies.
set -euo pipefail
cd "$(dirname "$0")/.."
# The synced-lyrics service the search asks beside the site (e.g.
# https://lrclib.net); unset or empty, the release does not ask it.
export LYRIMARK_LRCLIB_URL=${LYRIMARK_LRCLIB_URL:-}

for variable in LYRIMARK_HOME_URL LYRIMARK_FAN_URL LYRIMARK_ANNOUNCE_URL LYRIMARK_LYRICS_URL; do
  if [ -z "${!variable:-}" ]; then
    echo "release: $variable is not set; a release needs the four addresses in the environment" >&2
    exit 2
  fi
done
export LYRIMARK_HOME_URL LYRIMARK_FAN_URL LYRIMARK_ANNOUNCE_URL LYRIMARK_LYRICS_URL
export LYRIMARK_UPDATE_PUBLIC_KEY=${LYRIMARK_UPDATE_PUBLIC_KEY:-}
export LYRIMARK_UNSIGNED_UPDATES=${LYRIMARK_UNSIGNED_UPDATES:-OFF}
./scripts/setup.sh

arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(win32 win64)
version=$(sed -n 's/^project(Lyrimark VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
# Entry times come from the commit, not from the clock.
when=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
dist=${LYRIMARK_DIST:-dist}
mkdir -p "$dist" build/logs

sums=()
for arch in "${arches[@]}"; do
  preset=release-$arch
  log=build/logs/$preset.log
  echo "== building $preset (log: $log)"
  # A fresh tree each time: nothing of an earlier configuration carries over.
  rm -rf "build/$preset"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    grep -E -A3 'Error|error' "$log" | head -20
    echo "release: building $preset failed; log: $log" >&2
    exit 1
  fi
  stage=build/$preset/stage/Lyrimark-$version
  mkdir -p "$stage"
  cp "build/$preset/src/lyrimark.exe" "$stage/lyrimark.exe"
  cp release/使用说明.txt "$stage/使用说明.txt"
  cp LICENSE "$stage/LICENSE.txt"
  zip=Lyrimark-$version-$arch.zip
  /usr/bin/python3 release/make_zip.py "$dist/$zip" "$stage" "$when"
  sums+=("$zip")
done

(cd "$dist" && sha256sum "${sums[@]}" >SHA256SUMS)
echo "release: $(cd "$dist" && pwd)"
cat "$dist/SHA256SUMS"
