#!/usr/bin/env bash
# The smallest build starts under Xvfb, runs its frame loop, and Escape ends
# it with status 0 and the shut-down block on standard error.
. "$CUBEGAME_E2E_LIB"
make_images
xvfb_start 320 240 || exit 1
start_game cubegame_320
wait_for_frames
quit_game
check "shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
check "start-up progress printed" grep -q "Generating Terrain Display Lists..." "$RUN_DIR/stderr"
finish
