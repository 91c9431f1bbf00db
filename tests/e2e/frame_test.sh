#!/usr/bin/env bash
# A played frame: sky above, landscape below, the cube and its black score
# text; the up arrow rolls the cube (seen in the read-out's position); Escape
# ends the game with status 0.
. "$CUBEGAME_E2E_LIB"
make_images
xvfb_start 320 240 || exit 1

# A shell can knock the cube ahead of the following camera, small in the
# distance for a moment: up to three looks, a second apart.
cube_in_view() {
    local shot=$1
    for look in 1 2 3; do
        [ "$(cube_face_pixels "$shot")" -gt 100 ] && return 0
        [ "$look" -lt 3 ] && sleep 1 && screenshot "$shot"
    done
    return 1
}

check_picture() {
    local shot="$RUN_DIR/frame.png"
    screenshot "$shot"
    read -r sr sg sb <<<"$(mean_colour "$shot" 0 0 320 40)"
    check "sky at the top is blue ($sr $sg $sb)" [ "$sb" -gt 120 -a "$sb" -gt "$sr" ]
    check "picture is not blank ($(colours "$shot") colours)" [ "$(colours "$shot")" -gt 200 ]
    read -r lr lg lb <<<"$(mean_colour "$shot" 0 200 320 40)"
    check "landscape below differs from the sky ($lr $lg $lb)" [ "$lb" -lt "$sb" -o "$lg" -gt "$sg" ]
    check "the cube in view" cube_in_view "$shot"
    check "black heads-up text drawn" [ "$(count_colour "$shot" 0 0 0 3)" -gt 20 ]
}

# The game is over once its cube holds no momentum at all (it is zeroed every update).
game_over() {
    grep -P "^\tMomentum: \(" "$RUN_DIR/stderr" | tail -n 1 | grep -q "(0,0,0)"
}

# Tanks may shoot the cube down before the roll is measured, the more so on
# a fast machine, where game time keeps up with the wall clock; a new game
# (a new random landscape population) then tries again.
rolled=""
pictured=""
for attempt in 1 2 3 4 5 6; do
    start_game cubegame_320
    wait_for_frames || break
    wait_for_landing || break
    # A game already lost shows the far game-over view: the next one is looked at.
    if [ -z "$pictured" ] && ! game_over; then
        check_picture
        pictured=yes
    fi
    hold i 1
    before=$(cube_position)
    lines_before=$(wc -l <"$RUN_DIR/stderr")
    hold Up 2
    hold i 1
    after=$(cube_position)
    check "read-out printed while i was held" [ "$(wc -l <"$RUN_DIR/stderr")" -gt "$lines_before" ]
    if game_over; then
        echo "attempt $attempt: the tanks won before the roll could be measured"
        quit_game
        continue
    fi
    rolled=$(distance "$before" "$after")
    check "up arrow rolled the cube $rolled units (from $before to $after)" [ "$rolled" -gt 100 ]
    screenshot "$RUN_DIR/rolled.png"
    quit_game
    break
done
check "a game in play was looked at" [ -n "$pictured" ]
check "the roll was measured in one of six games" [ -n "$rolled" ]
check "shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
finish
