#!/usr/bin/env bash
# ./play.sh [BUILD]: one of the builds in config/presets.cmake (cubegame_640 first)
# Installs what is missing, builds, makes the images in ./run and starts the
# game there. With no X display it plays a short demo under Xvfb instead and
# saves a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

"$root/scripts/deps.sh"
builds=$(cmake -P "$root/config/names.cmake")
game=${1:-$(head -n 1 <<<"$builds")}
if ! grep -qx -- "$game" <<<"$builds"; then
    echo "unknown build '$game': choose $(echo $builds | sed 's/ /, /g')" >&2
    exit 2
fi
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target "$game" makeimages
mkdir -p "$root/run"
"$root/build/makeimages" "$root/run"
cd "$root/run"

# SDL must never fall back to a console video driver: it would take over the terminal.
export SDL_VIDEODRIVER=x11
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$root/build/$game"
fi

# No display: a short demo under a private Xvfb, rolling forward, then a screenshot.
. "$root/scripts/xvfb.sh"
size=$(sed -n "s/.*\"$game \([0-9]*\) \([0-9]*\) .*/\1 \2/p" "$root/config/presets.cmake")
xvfb_start $size
trap xvfb_stop EXIT
echo "No display: playing a short demo of $game under Xvfb ($DISPLAY)." >&2
"$root/build/$game" 2>"$root/run/demo-stderr.log" &
pid=$!
sleep 10
xdotool keydown Up; sleep 6; xdotool keyup Up
xdotool keydown Left; sleep 2; xdotool keyup Left
shot="$root/run/demo-screenshot.png"
import -window root "$shot"
for try in 1 2 3 4 5; do
    kill -0 "$pid" 2>/dev/null || break
    xdotool key Escape; sleep 2
done
kill -0 "$pid" 2>/dev/null && kill "$pid"
status=0
wait "$pid" || status=$?
echo "Screenshot: $shot (game log: $root/run/demo-stderr.log, exit status $status)" >&2
exit "$status"
