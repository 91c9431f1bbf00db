#!/usr/bin/env bash
# Every deliverable starts at its own screen size, draws frames with its
# landscape, crowd and tanks, and quits on Escape with status 0.
. "$CUBEGAME_E2E_LIB"
make_images

for entry in "${BUILD_SCREENS[@]}"; do
    read -r game width height <<<"$entry"
    xvfb_start "$width" "$height" || exit 1
    start_game "$game"
    wait_for_frames
    check "$game: tank texture loaded" grep -q "Loading Tank texture..." "$RUN_DIR/stderr"
    sleep 5
    shot="$RUN_DIR/$game.png"
    screenshot "$shot"
    size=$(identify -format "%wx%h" "$shot")
    check "$game: full screen at ${width}x${height} (got $size)" [ "$size" = "${width}x${height}" ]
    check "$game: picture is not blank" [ "$(colours "$shot")" -gt 200 ]
    quit_game
    check "$game: shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
    xvfb_stop
done
finish
