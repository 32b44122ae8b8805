#!/usr/bin/env bash
# The Windows stage: installs the MinGW-w64 cross compilers with MinGW zlib,
# Wine (with GnuTLS, which its bcrypt.dll needs for AES), Xvfb and xdotool
# when missing, cross-builds the 64-bit host with its test engines and the
# 32-bit host, and runs the end-to-end tests of the 64-bit host under Wine.
# The 32-bit build is only compiled: this machine runs no 32-bit Windows
# programs. The archive cases pack resources.heap with the native heaptool,
# built first in build/default (the native dependencies come from
# scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh mingw-w64 libz-mingw-w64-dev wine64 libgnutls30

jobs=$(nproc)
echo "== native heaptool =="
[ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
cmake --build --preset default --target heaptool -j "$jobs"

for preset in win64 win32-i686; do
  echo "== $preset =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
ctest --preset win64 --verbose  # one PASS line per case of the Wine tests
