#!/usr/bin/env bash
# bench/wine_frame_time.sh [ROUNDS]: cubegame_640's frame time at draw
# distance 5000 (bench/frame_time.cpp), the native build against the Windows
# build under Wine, on one Xvfb in the same run, rounds alternating. Builds
# both: natively in build-bench-native/, for Windows in build-win/ (or
# CUBEGAME_WIN_BUILD) through scripts/windows.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
native=$root/build-bench-native
win=${CUBEGAME_WIN_BUILD:-$root/build-win}

"$root/scripts/deps.sh"
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DCUBEGAME_BENCH=ON >/dev/null
cmake --build "$native" -j"$(nproc)" --target frame_time makeimages >/dev/null
CUBEGAME_WIN_BUILD=$win "$root/scripts/windows.sh" >/dev/null
cmake -S "$root" -B "$win/game" -DCUBEGAME_BENCH=ON >/dev/null
cmake --build "$win/game" -j"$(nproc)" --target frame_time >/dev/null

run=$(mktemp -d /tmp/cubegame-wine-bench-XXXXXX)
. "$root/scripts/xvfb.sh"
. "$root/scripts/wine.sh"
trap 'wineserver -k 2>/dev/null; xvfb_stop; rm -rf "$run"' EXIT
"$native/makeimages" "$run" >/dev/null
cp "$win/game/bench/frame_time.exe" "$win/deps/bin/SDL.dll" "$run/"
wine_prefix "$win/wine"
xvfb_start 640 480

echo "cubegame_640, draw distance 5000, ms a frame through drawScreen (median, mean)"
printf "%-5s | %15s | %15s | %s\n" round "native" "Wine" "Wine / native (median)"
for round in $(seq 1 "$rounds"); do
    read -r nmed nmean <<<"$(cd "$run" && SDL_VIDEODRIVER=x11 "$native/bench/frame_time" 2>/dev/null)"
    read -r wmed wmean <<<"$(cd "$run" && wine ./frame_time.exe 2>/dev/null | tr -d '\r')"
    printf "%-5s | %7s %7s | %7s %7s | %s\n" "$round" "$nmed" "$nmean" "$wmed" "$wmean" \
        "$(awk -v w="$wmed" -v n="$nmed" 'BEGIN { printf "%.2f", w / n }')"
done
