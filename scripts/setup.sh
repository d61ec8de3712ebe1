#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian packages, only when missing.
# Idempotent and quiet when there is nothing to do. Run as root (or with sudo available).
# The Wine prefixes are made by the harness when a build tree first needs one.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386
  xvfb xdotool x11-utils imagemagick locales fonts-wine fonts-wqy-microhei fonts-arphic-uming
  libboost1.81-dev nlohmann-json3-dev googletest libgtest-dev
  clang libclang-rt-14-dev
  python3 python3-pyftpdlib python3-cryptography curl
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
  mkdir -p build/logs
  log=build/logs/setup.log
  { dpkg --print-foreign-architectures | grep -qx i386 || sudo_ dpkg --add-architecture i386; } >"$log" 2>&1 &&
    sudo_ apt-get update -qq >>"$log" 2>&1 &&
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$log" 2>&1 ||
    { echo "setup: installing Debian packages failed; log: $log" >&2; exit 1; }
fi
