#!/usr/bin/env bash
# Installs what building, running and testing StageHost needs on Debian 12,
# plus any further packages named on the command line (the Windows stage
# names its cross compilers and Wine). Safe to run again: packages already
# present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev zlib1g-dev
  libsdl2-dev libgl-dev libgl1-mesa-dri
  libx11-dev libxfixes-dev
  xvfb xdotool x11-utils imagemagick openbox
  qemu-user
  libglm-dev libeigen3-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
