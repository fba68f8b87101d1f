#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need. Safe to run again: it only
# calls apt-get when something is missing.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libsdl2-dev libgl-dev libgl1-mesa-dri libopenal-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool desktop-file-utils
  clang libclang-rt-14-dev
  zenity fonts-droid-fallback   # the message boxes: the desktop's dialog, with Japanese glyphs
  dpkg-dev file lintian appstream   # the Debian package: CPack's DEB generator and its checks
  g++-mingw-w64-x86-64-posix wine wine64 python3 python3-pil imagemagick zip   # the Windows build and its tests under Wine
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
