#!/usr/bin/env bash
# bench/web_frame_bench.sh [BUILD_DIR]: frame time of the web build in
# headless Chromium against the native build, in the same run, on the same
# seeded world and camera path at draw distance 5000 (the frame probe,
# web/probe.cpp), each frame drawn to the end before the next, median and
# 95th percentile; the web's with the layer's stream buffer and without, on
# three renderers; then the page's start-up time and the release's download
# sizes. BUILD_DIR (default build-bench) is
# configured Release with -DCUBEGAME_BENCH=ON here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")

"$root/web/build.sh" >/dev/null 2>&1 || { echo "web build failed (run web/build.sh to see why)" >&2; exit 1; }
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCUBEGAME_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target web_probe makeimages >/dev/null
images=$(mktemp -d /tmp/cubegame-webbench-XXXXXX)
trap 'rm -rf "$images"' EXIT
"$build/makeimages" "$images" >/dev/null

. "$root/scripts/xvfb.sh"
xvfb_start 1280 1024
trap 'xvfb_stop; rm -rf "$images"' EXIT

echo "cubegame_640's world (10000 people, 1000 tanks), 180 frames around the cube at D 5000:"
probe=$(cd "$images" && SDL_VIDEODRIVER=x11 "$build/web_probe" bench 2>/dev/null)
native=$(grep "frame ms" <<<"$probe")
echo "  native ($(sed -n 's/^renderer: //p' <<<"$probe")): $native"
# The browser draws headless without a display: given the X server's, its
# GPU process goes through X and every web frame takes half as long again.
xvfb_stop
unset DISPLAY
trap 'rm -rf "$images"' EXIT
# Each renderer draws the frames twice: batches written in turn into one
# stream buffer (the release), then each in a buffer of its own (before).
for renderer in llvmpipe llvmpipe-kept swiftshader; do
    flags=()
    case $renderer in
        llvmpipe) flags=(--llvmpipe) where="WebGL through ANGLE on Mesa llvmpipe" ;;
        llvmpipe-kept) flags=(--llvmpipe --keep-pages) where="the same, freed pages kept" ;;
        swiftshader) where="WebGL on its own SwiftShader" ;;
    esac
    echo "  headless Chromium, $where:"
    for way in "one stream buffer" "a buffer per batch"; do
        [ "$way" = "a buffer per batch" ] && flags+=(--perdraw)
        web=$(python3 "$root/bench/web_frame_bench.py" frames "$root/build-web/wasm" "${flags[@]}")
        python3 - "$native" "$web" "$way" <<'PY'
import re, sys
n, w = ([float(v) for v in re.search(r"median ([\d.]+), 95th percentile ([\d.]+)", a).groups()] for a in sys.argv[1:3])
print("    %s: median %.1f, 95th percentile %.1f (%.1fx, %.1fx native)" % (sys.argv[3], w[0], w[1], w[0] / n[0],
                                                                       w[1] / n[1]))
PY
    done
done

echo "cubegame_640's page (first frame after the images are drawn in the page):"
echo "  $(python3 "$root/bench/web_frame_bench.py" startup "$root/build-web/site")"
site="$root/build-web/site"
echo "Download size: the shared script $(($(wc -c <"$site/cubegame.js") / 1024)) KB (the WebAssembly inside)," \
    "a build's page $(($(wc -c <"$site/cubegame_640.html") / 1024)) KB, the whole site $(($(cat "$site"/* | wc -c) / 1024)) KB"
