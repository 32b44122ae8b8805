#!/usr/bin/env bash
# The Windows stage: installs the MinGW-w64 cross compilers, Wine, Xvfb and
# xdotool when missing, cross-builds the 64-bit host with its test engines
# and the 32-bit host, and runs the end-to-end tests of the 64-bit host under
# Wine. The 32-bit build is only compiled: this machine runs no 32-bit
# Windows programs.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build mingw-w64 wine64 xvfb xdotool)
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

jobs=$(nproc)
for preset in win64 win32-i686; do
  echo "== $preset =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
ctest --preset win64 --verbose  # one PASS line per case of the Wine tests
