#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds the host and the demo (engine
# and resources.heap), assembles a run directory (out/run) and runs the demo
# in it. Without a display the demo runs on a private Xvfb, and a screenshot
# of a frame in the middle of the demo is saved next to runtime.log.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target stagehost demo -j "$(nproc)"

# The run directory: the host, the core library, the engine, its archive and
# a vars.cfg that turns the archive on (s_dontusepack "0"). vars.cfg is
# copied afresh each time; the host rewrites it when the demo ends.
run=out/run
demo=build/default/engines/demo
mkdir -p "$run"
cp build/default/host/stagehost "$demo/render.so" "$demo/resources.heap" "$demo/vars.cfg" "$run/"
cp -P build/default/sdk/libstagehost.so* "$run/"
cd "$run"
rm -f screenshot.png runtime.log

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
  # The demo's clock starts with its first frame; the scene lasts 10 s.
  for _ in $(seq 300); do
    grep -q "^Demo: first frame" runtime.log 2>/dev/null && break
    kill -0 $host 2>/dev/null || break
    sleep 0.1
  done
  sleep 4.5
  # The window's own rectangle when it can be found, else the whole screen.
  crop=""
  if info=$(xwininfo -name StageHost 2>/dev/null); then
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    w=$(awk '/Width:/ {print $2}' <<<"$info")
    h=$(awk '/Height:/ {print $2}' <<<"$info")
    crop="-crop ${w}x${h}+${x}+${y} +repage"
  fi
  # shellcheck disable=SC2086
  import -window root $crop screenshot.png || echo "no screenshot taken" >&2
  wait $host || status=$?
  [ -f screenshot.png ] && echo "Screenshot of a frame mid-demo: $PWD/screenshot.png"
fi

echo "stagehost exited with status $status; the end of $PWD/runtime.log:"
tail -n 12 runtime.log
exit $status
