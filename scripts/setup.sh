#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian packages, only when missing.
# Idempotent and quiet when there is nothing to do. Run as root (or with sudo available).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386
  xvfb xdotool x11-utils imagemagick locales fonts-wqy-microhei fonts-arphic-uming
  libboost1.81-dev googletest libgtest-dev
  clang libclang-rt-14-dev
  python3 python3-pyftpdlib curl
  aria2
)

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  # dpkg-query knows "name:arch" for foreign packages as well
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
  fi
  sudo_ apt-get update -qq
  sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Wine prefixes of the two Windows build trees, made once (about 20 s each)
# and reused by every later run.
cd "$(dirname "$0")/.."
for tree in win32 win64; do
  if [ ! -f "build/$tree/wine/prefix.ready" ]; then
    echo "setup: making the Wine prefix of build/$tree"
    mkdir -p "build/$tree"
    sh tests/wine/wine-start.sh "build/$tree" >/dev/null
    sh tests/wine/wine-stop.sh "build/$tree" >/dev/null
  fi
done
