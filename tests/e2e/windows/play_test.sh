#!/usr/bin/env bash
# Each Windows game, from the release zip under Wine on a 1024 x 768 desktop:
# it switches the desktop to its own size, draws sky, landscape and the
# heads-up text, and Escape ends it with status 0. The smallest one also shows
# that Up rolls the cube; cubegame_640 is minimised and restored (alt-tab out
# of full screen and back), then takes the screen again and draws the same
# kind of picture.
. "$CUBEGAME_E2E_LIB_WINDOWS"
DESKTOP=1024x768

game_over() {  # its cube holds no momentum at all once the game is lost
    grep -aP "^\tMomentum: \(" "$RUN_DIR/stderr" | tail -n 1 | grep -q "(0,0,0)"
}

# check_picture GAME WIDTH HEIGHT WHEN [over]: the game-over view looks down
# on the landscape, with no sky.
check_picture() {
    local shot="$RUN_DIR/$1-$4.png" w=$2 h=$3
    screenshot "$shot"
    convert "$shot" -crop "${w}x${h}+0+0" +repage "$shot"
    check "$1 $4: picture is not blank ($(colours "$shot") colours)" [ "$(colours "$shot")" -gt 200 ]
    check "$1 $4: black heads-up text drawn" [ "$(count_colour "$shot" 0 0 0 3)" -gt 20 ]
    [ "${5:-}" = over ] && return
    read -r sr sg sb <<<"$(mean_colour "$shot" 0 0 "$w" $((h / 6)))"
    check "$1 $4: sky at the top is blue ($sr $sg $sb)" [ "$sb" -gt 120 -a "$sb" -gt "$sr" ]
    read -r lr lg lb <<<"$(mean_colour "$shot" 0 $((h * 5 / 6)) "$w" $((h / 6)))"
    check "$1 $4: landscape below differs from the sky ($lr $lg $lb)" [ "$lb" -lt "$sb" -o "$lg" -gt "$sg" ]
}

frames_shown() {
    grep -ac "Frame Rate:" "$RUN_DIR/stderr"
}

# play GAME WIDTH HEIGHT [roll] [minimise]: up to three games, since the
# tanks may win before the picture is taken.
play() {
    local game=$1 w=$2 h=$3 attempt looked=""
    for attempt in 1 2 3; do
        start_game "$game"
        wait_for_frames || break
        check "$game: the desktop switched to ${w}x${h} ($(desktop_size))" [ "$(desktop_size)" = "${w}x${h}" ]
        wait_for_landing || break
        if game_over; then quit_game; continue; fi
        check_picture "$game" "$w" "$h" playing
        looked=yes
        if [[ " $* " == *" roll "* ]]; then
            hold i 1
            local before after
            before=$(cube_position)
            hold Up 2
            hold i 1
            after=$(cube_position)
            game_over || check "$game: Up rolled the cube $(distance "$before" "$after") units" \
                [ "$(distance "$before" "$after")" -gt 100 ]
        fi
        if [[ " $* " == *" minimise "* ]] && ! game_over; then
            check "$game: minimised and restored" wine "$WINDOWS_TESTS/minimise_restore.exe" 1
            sleep 1
            check "$game: the game's size again ($(desktop_size))" [ "$(desktop_size)" = "${w}x${h}" ]
            local frames
            frames=$(frames_shown)
            hold i 1
            check "$game: frames go on after the restore" [ "$(frames_shown)" -gt "$frames" ]
            # The world went on meanwhile: the tanks may have won.
            hold i 1
            check_picture "$game" "$w" "$h" restored "$(game_over && echo over)"
        fi
        quit_game
        sleep 1
        local left
        left=$(desktop_size)
        check "$game: the desktop no longer at its size (${left:-closed})" [ "${left:-$DESKTOP}" = "$DESKTOP" ]
        check "$game: start-up lines" grep -aq "Generating Terrain Display Lists..." "$RUN_DIR/stderr"
        check "$game: shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
        break
    done
    check "$game: a game in play was looked at" [ -n "$looked" ]
}

xvfb_start "${DESKTOP%x*}" "${DESKTOP#*x}" || exit 1
wine_desktop "$DESKTOP"
wineserver -k  # the desktop is made by Wine's next start

play cubegame_320 320 240 roll
play cubegame_640 640 480 minimise
play cubegame_640_15k 640 480
play cubegame_1024 1024 768
finish
