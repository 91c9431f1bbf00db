#!/usr/bin/env bash
# web/build.sh [FOLDER]: builds the web release into FOLDER (default
# build-web/site): one page per build, the script they share (the
# WebAssembly inside it; the page draws the images itself), the index page,
# the icons, the app manifest and the offline worker. Installs what is
# missing first.
# CUBEGAME_WEB_WORK: the folder for what is built on the way (build-web);
# CUBEGAME_MAKEIMAGES: a native makeimages already built, to use instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(realpath -m "${CUBEGAME_WEB_WORK:-$root/build-web}")
site=$(realpath -m "${1:-$work/site}")
mkdir -p "$work"

"$root/scripts/deps.sh" web
# Debian's emcc runs its tools under node; a newer node needs Debian's modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# Native helpers: the image maker (the probe's images and the icons), and
# the glyph table taken from freeglut under a private X server.
makeimages=${CUBEGAME_MAKEIMAGES:-}
if [ -z "$makeimages" ]; then
    cmake -S "$root" -B "$work/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$work/native" -j"$(nproc)" --target makeimages
    makeimages="$work/native/makeimages"
fi
mkdir -p "$work/images"
"$makeimages" "$work/images" >/dev/null
mkdir -p "$work/icons"
"$makeimages" --icon 64 "$work/icons/64.png"
"$makeimages" --icon 256 "$work/icons/256.png"
python3 "$root/web/tools/icons.py" "$work/icons/64.png" "$work/icons/icon-192.png" 3
python3 "$root/web/tools/icons.py" "$work/icons/256.png" "$work/icons/icon-512.png" 2
font="$work/font_helvetica18.cpp"
if [ ! -s "$font" ] || [ "$root/web/tools/fontdump.cpp" -nt "$font" ]; then
    g++ -O1 -o "$work/fontdump" "$root/web/tools/fontdump.cpp" -lglut -lGL
    . "$root/scripts/xvfb.sh"
    xvfb_start 320 240
    "$work/fontdump" "$font.new" || { xvfb_stop; exit 1; }
    xvfb_stop
    mv "$font.new" "$font"
fi

emcmake cmake -S "$root/web" -B "$work/wasm" -DCMAKE_BUILD_TYPE=Release \
    -DCUBEGAME_FONT="$font" -DCUBEGAME_IMAGES="$work/images" -DCUBEGAME_ICONS="$work/icons" >/dev/null
cmake --build "$work/wasm" -j"$(nproc)"

# What an earlier release left there (its .wasm and .data files) goes.
mkdir -p "$site"
find "$site" -maxdepth 1 -type f -delete
cp "$work/wasm/site/"* "$site/"
echo "Web release in $site (serve it with web/serve.sh)" >&2
