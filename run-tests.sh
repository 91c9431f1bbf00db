#!/usr/bin/env bash
# ./run-tests.sh: installs what is missing, builds the game and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test (unit,
# OpenGL and end-to-end) under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build="$root/build-tests"

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCUBEGAME_SANITIZE=ON -DCUBEGAME_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

. "$root/scripts/xvfb.sh"
xvfb_start 1280 1024
trap xvfb_stop EXIT
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
