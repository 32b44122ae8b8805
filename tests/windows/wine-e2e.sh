#!/usr/bin/env bash
# End-to-end tests of the Windows host under Wine.
#
# Each case copies stagehost.exe, the core DLL and one test engine (as
# render.dll) into a fresh directory, runs the host there under wine64 on an
# Xvfb display this script starts itself, drives it with xdotool where a
# person would (Escape, clicks, closing, dismissing the error box), and then
# checks the engine's record of calls (calls.txt), runtime.log byte for byte,
# vars.cfg and the exit code. Every run is wrapped in timeout; nothing waits a
# fixed time for a window, it polls for it.
#
# The archive cases pack resources.heap with the native (Linux) heaptool given
# by --packer, so the Windows reader is tested on what the Linux writer makes.
#
# usage: wine-e2e.sh --host EXE --core DLL --engines DIR --tools DIR --prefix DIR
#                    [--packer HEAPTOOL] [CASE...]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-lib.sh
source "$here/wine-lib.sh"

host_exe="" core_dll="" engine_dir="" tool_dir="" prefix="" packer=""
cases=()
while [ $# -gt 0 ]; do
    case "$1" in
        --host) host_exe=$2; shift 2 ;;
        --core) core_dll=$2; shift 2 ;;
        --engines) engine_dir=$2; shift 2 ;;
        --tools) tool_dir=$2; shift 2 ;;
        --prefix) prefix=$2; shift 2 ;;
        --packer) packer=$2; shift 2 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) cases+=("$1"); shift ;;
    esac
done
for v in host_exe core_dll engine_dir tool_dir prefix; do
    [ -n "${!v}" ] || { echo "missing --${v%%_*}" >&2; exit 2; }
done

# Absolute paths: the cases run from their own directories, and Wine wants
# an absolute prefix.
host_exe=$(realpath "$host_exe") core_dll=$(realpath "$core_dll")
engine_dir=$(realpath "$engine_dir") tool_dir=$(realpath "$tool_dir") prefix=$(realpath -m "$prefix")
[ -z "$packer" ] || packer=$(realpath -m "$packer")

# shellcheck source=wine-cases.sh
source "$here/wine-cases.sh"

work=$(mktemp -d /tmp/stagehost-wine.XXXXXX)
trap 'wine_stop; [ -n "${KEEP_WORK:-}" ] && echo "kept $work" || rm -rf "$work"' EXIT
wine_start "$prefix" || { echo "Wine could not be started" >&2; exit 1; }

[ ${#cases[@]} -gt 0 ] || cases=($(declare -F | awk '{print $3}' | grep '^case_' | sed 's/^case_//'))
passed=0 failed=0
for name in "${cases[@]}"; do
    run_case "$name"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
