#!/usr/bin/env bash
# bench/frame_bench.sh BUILD_DIR [BUILD...]: runs the frame benchmark of each
# build (default: all four) under a private Xvfb and prints one table.
# BUILD_DIR is a Release build configured with -DCUBEGAME_BENCH=ON.
set -euo pipefail
build=$(cd "$1" && pwd)
shift
builds=("$@")
[ ${#builds[@]} -gt 0 ] || mapfile -t builds < <(cmake -P "$(dirname "$0")/../config/names.cmake")

. "$(dirname "$0")/../scripts/xvfb.sh"
xvfb_start 1280 1024
trap xvfb_stop EXIT

header=--header
for b in "${builds[@]}"; do
    "$build/bench/frame_bench_$b" "$b" $header
    header=
done
