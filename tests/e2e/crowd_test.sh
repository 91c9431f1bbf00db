#!/usr/bin/env bash
# The 640 build fills the landscape with its crowd: black figures stand on
# the ground in the lower part of the picture; rolling through them for a
# while keeps the game running, and Escape ends it with status 0.
. "$CUBEGAME_E2E_LIB"
make_images
xvfb_start 640 480 || exit 1
start_game cubegame_640
wait_for_frames
check "crowd built on a 250-bucket grid" grep -q "   ...bucketCount = 250" "$RUN_DIR/stderr"

# The camera follows the cube, which falls from the sky and may be kicked
# back up by a crushed tank: look a few times for the ground in view.
figures=0
for look in $(seq 1 15); do
    sleep 2
    shot="$RUN_DIR/crowd.png"
    screenshot "$shot"
    figures=$(convert "$shot" -crop 640x200+0+280 +repage miff:- | count_colour - 0 0 0 4)
    [ "$figures" -gt 30 ] && break
done
check "figures on the landscape ($figures black pixels in the lower picture)" [ "$figures" -gt 30 ]

hold Up 6
hold Right 3
hold Up 4
hold i 1
check "still running after rolling through the crowd" kill -0 "$GAME_PID"
screenshot "$RUN_DIR/after.png"
quit_game
check "shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
finish
