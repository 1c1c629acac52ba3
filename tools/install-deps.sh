#!/bin/sh
# Installs everything Vantrix needs to build, test and run on Debian 12.
# Safe to run again: apt-get skips what is already installed.
set -eu

PACKAGES="
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libsdl2-dev libgl-dev libgl1-mesa-dri libx11-dev liblzo2-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libstb-dev
  libassimp-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev ffmpeg
  xvfb xauth xdotool x11-utils x11-xkb-utils gdb
  curl libenet-dev
"

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
  echo "install-deps: installing$missing"
  # Another install running at the same time holds apt's lock: wait for it.
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 update -q
  # shellcheck disable=SC2086
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends $missing
else
  echo "install-deps: everything is installed"
fi
