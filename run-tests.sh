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

# Leaks inside the system's X, GL and SDL libraries are not ours.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

. "$root/scripts/xvfb.sh"
xvfb_start 1280 1024
trap xvfb_stop EXIT
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
