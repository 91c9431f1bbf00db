#!/usr/bin/env bash
# Thirty starts of the smallest build in a row on one Xvfb, each quit with
# Escape: every one opens its display and reaches the frame loop. A server
# that resets when its last client leaves refuses about one start in three.
. "$CUBEGAME_E2E_LIB"
make_images
xvfb_start 320 240 || exit 1
STARTS=30
reached=0
for start in $(seq 1 "$STARTS"); do
    start_game cubegame_320
    if wait_for_frames; then reached=$((reached + 1)); fi
    quit_game
    grep -q "Couldn't" "$RUN_DIR/stdout" && fail "start $start: $(head -n 1 "$RUN_DIR/stdout")"
done
check "$reached of $STARTS starts reached the frame loop" [ "$reached" -eq "$STARTS" ]
finish
