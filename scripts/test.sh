#!/usr/bin/env bash
# Sets everything up, builds the default and the sanitizer configurations,
# runs the whole test suite in both, then the fuzz stage (the libFuzzer
# targets built with clang, each replaying its seeds and running a fixed,
# seeded number of mutations; STAGEHOST_SKIP_FUZZ=1 leaves it out), then the
# Windows stage: the Win32 host cross-built with MinGW-w64 and its end-to-end
# tests under Wine (STAGEHOST_SKIP_WINDOWS=1 leaves that stage out).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)
for preset in default asan; do
  echo "== $preset =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

if [ "${STAGEHOST_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== fuzz =="
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  ctest --preset fuzz -j "$jobs"
fi

if [ "${STAGEHOST_SKIP_WINDOWS:-0}" != 1 ]; then
  scripts/test-windows.sh
fi
