#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail
packages=(wine wine32:i386 g++-mingw-w64-i686 mingw-w64-tools xvfb xauth x11-utils
          ffmpeg cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev libyuv-dev
          xdotool imagemagick ccache clang libclang-rt-14-dev fonts-wqy-zenhei
          zlib1g-dev libz-mingw-w64-dev  # Flash frames: host and static MinGW zlib
          libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386  # Wine's VMR-9 renders through OpenGL
          gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386)  # Wine's file splitters and decoders
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
