#!/usr/bin/env bash
# bench/web_frame_bench.sh [BUILD_DIR]: frame time of the web build in
# headless Chromium against the native build, in the same run, on the same
# seeded world and camera path at draw distance 5000 (the frame probe,
# web/probe.cpp), median and 95th percentile; then the page's start-up time
# and the release's download sizes. BUILD_DIR (default build-bench) is
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
for renderer in llvmpipe swiftshader; do
    flag=""
    [ "$renderer" = llvmpipe ] && flag=--llvmpipe
    web=$(python3 "$root/bench/web_frame_bench.py" frames "$root/build-web/wasm" $flag)
    python3 - "$native" "$web" "$renderer" <<'PY'
import re, sys
n, w = ([float(v) for v in re.search(r"median ([\d.]+), 95th percentile ([\d.]+)", a).groups()] for a in sys.argv[1:3])
where = {"llvmpipe": "WebGL through ANGLE on Mesa llvmpipe", "swiftshader": "WebGL on its own SwiftShader"}[sys.argv[3]]
print("  headless Chromium, %s: %s (median %.1fx, 95th percentile %.1fx native)" % (where, sys.argv[2], w[0] / n[0],
                                                                                      w[1] / n[1]))
PY
done

echo "cubegame_640's page (first frame after the images are drawn in the page):"
echo "  $(python3 "$root/bench/web_frame_bench.py" startup "$root/build-web/site")"
site="$root/build-web/site"
echo "Download size: the shared script $(($(wc -c <"$site/cubegame.js") / 1024)) KB (the WebAssembly inside)," \
    "a build's page $(($(wc -c <"$site/cubegame_640.html") / 1024)) KB, the whole site $(($(cat "$site"/* | wc -c) / 1024)) KB"
