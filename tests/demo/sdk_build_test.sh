#!/usr/bin/env bash
# The engine SDK as an engine author uses it: install the build into a
# temporary prefix, check that every installed header compiles on its own,
# build the demo engine as a project of its own with find_package(StageHost)
# and the minimal engine with pkg-config, then run each through the
# installed host on a private Xvfb for about a second.
#
#   sdk_build_test.sh BUILD_DIR SOURCE_DIR [EXTRA_CXX_FLAGS]
set -euo pipefail

build=$1
source=$2
flags=${3:-}
work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/sdk
cmake --install "$build" --prefix "$prefix" >/dev/null

# Headers: each one stands alone.
include=$prefix/include/stagehost
count=0
while IFS= read -r header; do
  echo "#include \"${header#"$include"/}\"" >"$work/one.cpp"
  c++ -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I"$include" "$work/one.cpp" || fail "$header"
  count=$((count + 1))
done < <(find "$include" -name '*.h' | sort)
[ "$count" -ge 20 ] || fail "only $count headers installed"

# The demo engine with CMake.
cmake -S "$source/engines/demo" -B "$work/demo" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$work/demo" -j 2 >/dev/null || fail "the demo does not build against the SDK"

# The minimal engine with pkg-config, its one resource packed by the
# installed heaptool.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
mkdir -p "$work/minimal/data"
# shellcheck disable=SC2046,SC2086
c++ -std=c++17 -Wall -Wextra -Werror -shared -fPIC -fvisibility=hidden $flags \
  "$source/engines/minimal/MinimalEngine.cpp" $(pkg-config --cflags --libs stagehost) \
  -o "$work/minimal/render.so" || fail "the minimal engine does not build with pkg-config"
echo "Hello from the archive" >"$work/minimal/data/greeting.txt"
"$prefix/bin/heaptool" pack "$work/minimal/resources.heap" "$work/minimal/data" >/dev/null
rm -r "$work/minimal/data"
printf 's_dontusepack "0"\nminimal_length_ms "500"\n' >"$work/minimal/vars.cfg"

# The demo's run directory: played ten times as fast, about a second.
mkdir -p "$work/run"
cp "$work/demo/render.so" "$work/demo/resources.heap" "$work/run/"
{ cat "$work/demo/vars.cfg"; echo 'demo_speed "10"'; } >"$work/run/vars.cfg"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(tr -d '\n' <"$work/display")"
unset SDL_VIDEODRIVER

run() {  # run DIR EXPECTED_LINE
  local status=0
  (cd "$1" && timeout 60 "$prefix/bin/stagehost") || status=$?
  [ "$status" -eq 0 ] || { cat "$1/runtime.log" >&2; fail "stagehost in $1 exited with $status"; }
  grep -qx "Closing logging service" "$1/runtime.log" || fail "$1/runtime.log has no closing line"
  grep -q "^$2" "$1/runtime.log" || { cat "$1/runtime.log" >&2; fail "$1/runtime.log lacks '$2'"; }
  grep -qx "Total unused files in archive: 0 (0 bytes)" "$1/runtime.log" || fail "$1: untouched members"
}
run "$work/run" "Demo: finished after "
run "$work/minimal" "Minimal engine: Hello from the archive"
echo "SDK: $count headers; demo and minimal engine built and run against $prefix"
