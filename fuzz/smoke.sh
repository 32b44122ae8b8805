#!/bin/sh
# One deterministic fuzzing pass for CTest: a fixed seed and a fixed number
# of runs, mutating from the seed folders. New inputs go to a fresh scratch
# folder (libFuzzer writes to the first folder it is given), never into the
# seed folders of the source tree.
#   smoke.sh <fuzz binary> <scratch folder> <runs> [seed folder...]
set -eu
binary=$1 scratch=$2 runs=$3
shift 3
rm -rf "$scratch"
mkdir -p "$scratch"
exec "$binary" -seed=1 -runs="$runs" -timeout=60 -rss_limit_mb=4096 "$scratch" "$@"
