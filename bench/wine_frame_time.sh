#!/usr/bin/env bash
# bench/wine_frame_time.sh [ROUNDS]: cubegame_640's frame time at draw
# distance 5000 (bench/frame_time.cpp), the native build against the Windows
# build under Wine, on one Xvfb in the same run, rounds alternating. Builds
# both: natively in build-bench-native/, for Windows in build-win/ (or
# CUBEGAME_WIN_BUILD) through scripts/windows.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
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
"$native/makeimages" "$run" >/dev/null 2>&1
cp "$win/game/bench/frame_time.exe" "$win/deps/bin/SDL.dll" "$run/"
wine_prefix "$win/wine"
# Windowed straight on X, as a player's Wine runs (the tests may have left a
# virtual desktop set in the prefix).
wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
xvfb_start 640 480

echo "cubegame_640, draw distance 5000, ms a frame through drawScreen (median, mean)"
printf "%-5s | %15s | %15s | %s\n" round "native" "Wine" "Wine / native (median)"
all=""
for round in $(seq 1 "$rounds"); do
    read -r nmed nmean <<<"$(cd "$run" && SDL_VIDEODRIVER=x11 "$native/bench/frame_time" 2>/dev/null)"
    read -r wmed wmean <<<"$(cd "$run" && wine ./frame_time.exe 2>/dev/null | tr -d '\r')"
    printf "%-5s | %7s %7s | %7s %7s | %s\n" "$round" "$nmed" "$nmean" "$wmed" "$wmean" \
        "$(awk -v w="$wmed" -v n="$nmed" 'BEGIN { printf "%.2f", w / n }')"
    all+="$nmed $wmed"$'\n'
done
# The median round of each side: a round disturbed by other work on the
# machine moves it less than it moves a mean.
nmid=$(printf "%s" "$all" | awk '{ print $1 }' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
wmid=$(printf "%s" "$all" | awk '{ print $2 }' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "median round: native $nmid ms, Wine $wmid ms, Wine / native $(awk -v w="$wmid" -v n="$nmid" 'BEGIN { printf "%.2f", w / n }')"
