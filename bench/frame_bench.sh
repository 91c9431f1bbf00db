#!/usr/bin/env bash
# bench/frame_bench.sh BUILD_DIR [BUILD...]: runs the frame benchmark of each
# build (default: all four) under a private Xvfb and prints one table.
# BUILD_DIR is a Release build configured with -DCUBEGAME_BENCH=ON.
set -euo pipefail
build=$(cd "$1" && pwd)
shift
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(cubegame_320 cubegame_640 cubegame_640_15k cubegame_1024)

# -noreset: the server must outlive each benchmark's connection.
for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset +extension GLX >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 1 100); do
        DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        break
    fi
    kill "$xvfb" 2>/dev/null || true
    xvfb=""
done
[ -n "${xvfb:-}" ] || { echo "could not start Xvfb" >&2; exit 1; }
trap 'kill "$xvfb" 2>/dev/null || true' EXIT

header=--header
for b in "${builds[@]}"; do
    "$build/bench/frame_bench_$b" "$b" $header
    header=
done
