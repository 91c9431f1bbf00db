#!/usr/bin/env bash
# fuzz/run.sh [SECONDS] [LIBFUZZER OPTION...]: builds the TGA loader's
# libFuzzer target with clang in build-fuzz/, makes the seeds and fuzzes for
# SECONDS (default 30). The corpus it grows stays in build-fuzz/corpus for
# the next run. An input that finds a fault lands in build-fuzz/crashes/:
# once mended, copy it into fuzz/regressions/, which a ctest case replays.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${1:-30}
shift || true

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DCUBEGAME_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tga_fuzz makeimages >/dev/null
rm -rf "$build/seeds"
"$root/fuzz/make_corpus.sh" "$build/makeimages" "$build/seeds"
mkdir -p "$build/corpus" "$build/crashes"

# Every input goes through files; memory-backed ones run several times faster.
[ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
"$build/fuzz/tga_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crashes/" -print_final_stats=1 "$@" \
    "$build/corpus" "$build/seeds" "$root/fuzz/regressions" || status=$?
if [ "$status" -ne 0 ]; then
    echo "fuzz: the loader failed on an input, kept in $build/crashes/" >&2
    exit "$status"
fi
echo "fuzz: $seconds s without a fault" >&2
