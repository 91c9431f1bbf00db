#!/usr/bin/env bash
# A played frame: sky above, landscape below, the cube and its black score
# text; the up arrow rolls the cube (seen in the read-out's position); Escape
# ends the game with status 0.
. "$CUBEGAME_E2E_LIB"
make_images
xvfb_start 320 240 || exit 1
start_game cubegame_320
wait_for_frames
sleep 8  # the cube falls from 2000 units up and lands

shot="$RUN_DIR/frame.png"
screenshot "$shot"
read -r sr sg sb <<<"$(mean_colour "$shot" 0 0 320 40)"
check "sky at the top is blue ($sr $sg $sb)" [ "$sb" -gt 120 -a "$sb" -gt "$sr" ]
check "picture is not blank ($(colours "$shot") colours)" [ "$(colours "$shot")" -gt 200 ]
read -r lr lg lb <<<"$(mean_colour "$shot" 0 200 320 40)"
check "landscape below differs from the sky ($lr $lg $lb)" [ "$lb" -lt "$sb" -o "$lg" -gt "$sg" ]
check "the cube's red arrow in view" [ "$(count_colour "$shot" 150 30 25 12)" -gt 20 ]
check "black heads-up text drawn" [ "$(count_colour "$shot" 0 0 0 3)" -gt 20 ]

hold i 1
before=$(cube_position)
lines_before=$(wc -l <"$RUN_DIR/stderr")
hold Up 6
hold i 2
after=$(cube_position)
moved=$(distance "$before" "$after")
check "up arrow rolled the cube $moved units (from $before to $after)" [ "$moved" -gt 100 ]
check "read-out printed while i was held" [ "$(wc -l <"$RUN_DIR/stderr")" -gt "$lines_before" ]
screenshot "$RUN_DIR/rolled.png"

quit_game
check "shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
finish
