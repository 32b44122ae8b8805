#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds the host and the sample engine,
# assembles a run directory (out/run) and runs the demo in it. Without a
# display the demo runs on a private Xvfb, and a screenshot taken mid-demo is
# saved next to runtime.log.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target stagehost sample_engine -j "$(nproc)"

run=out/run
mkdir -p "$run"
cp build/default/host/stagehost build/default/engines/sample/render.so "$run/"
cp -P build/default/sdk/libstagehost.so* "$run/"
cd "$run"
rm -f screenshot.png

status=0
if [ -n "${DISPLAY:-}" ]; then
  ./stagehost || status=$?
else
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(tr -d '\n' <"$displayfile")"
  ./stagehost &
  host=$!
  sleep 2.5
  import -window root screenshot.png || echo "no screenshot taken" >&2
  wait $host || status=$?
  [ -f screenshot.png ] && echo "Screenshot of a frame mid-demo: $PWD/screenshot.png"
fi

echo "stagehost exited with status $status; the end of $PWD/runtime.log:"
tail -n 8 runtime.log
exit $status
