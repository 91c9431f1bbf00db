#!/usr/bin/env bash
# Each Windows game from the release zip, under Wine on a 1024 x 768 virtual
# desktop (Wine straight on X offers only the screen's size): it switches the
# desktop to its size, draws sky, landscape and the heads-up text, and Escape
# ends it with status 0. In the smallest build Up rolls the cube; the first
# is minimised and restored (alt-tab) and draws the same kind of picture again.
. "$CUBEGAME_E2E_LIB_WINDOWS"

game_over() {  # the lost game's cube holds no momentum
    grep -aP "^\tMomentum: \(" "$RUN_DIR/stderr" | tail -n 1 | grep -q "(0,0,0)"
}

full_screen() {  # WxH: the virtual desktop has the game's size
    xwininfo -root -tree | grep -q "\"Default - Wine desktop\".* $1+"
}

check_picture() {  # WHAT WIDTH HEIGHT: the game-over view has no sky
    local shot="$RUN_DIR/$1.png" w=$2 h=$3
    import -window root -crop "${w}x${h}+0+0" +repage "$shot"
    check "$1: picture is not blank ($(colours "$shot") colours)" [ "$(colours "$shot")" -gt 200 ]
    check "$1: black heads-up text drawn" [ "$(count_colour "$shot" 0 0 0 3)" -gt 20 ]
    game_over && return
    read -r sr sg sb <<<"$(mean_colour "$shot" 0 0 "$w" $((h / 6)))"
    check "$1: sky at the top is blue ($sr $sg $sb)" [ "$sb" -gt 120 -a "$sb" -gt "$sr" ]
    read -r lr lg lb <<<"$(mean_colour "$shot" 0 $((h * 5 / 6)) "$w" $((h / 6)))"
    check "$1: landscape below differs from the sky ($lr $lg $lb)" [ "$lb" -lt "$sb" -o "$lg" -gt "$sg" ]
}

# play GAME WIDTH HEIGHT [roll|minimise]: up to three games, as the tanks may
# win before the cube has landed.
play() {
    local game=$1 w=$2 h=$3 attempt looked="" before frames
    for attempt in 1 2 3; do
        start_game "$game"
        wait_for_frames && wait_for_landing || break
        check "$game: full screen at ${w}x${h}" full_screen "${w}x${h}"
        if game_over; then quit_game; continue; fi
        check_picture "$game" "$w" "$h"
        looked=yes
        if [ "${4:-}" = roll ]; then
            hold i 1
            before=$(cube_position)
            hold Up 2
            hold i 1
            game_over || check "$game: Up rolled the cube" [ "$(distance "$before" "$(cube_position)")" -gt 100 ]
        elif [ "${4:-}" = minimise ]; then
            check "$game: minimised and restored" wine "$CUBEGAME_WINDOWS/game/tests/windows/minimise_restore.exe" 1
            sleep 1
            frames=$(grep -ac "Frame Rate:" "$RUN_DIR/stderr")
            hold i 1
            check "$game: frames go on after the restore" [ "$(grep -ac "Frame Rate:" "$RUN_DIR/stderr")" -gt "$frames" ]
            check "$game: full screen again" full_screen "${w}x${h}"
            check_picture "$game restored" "$w" "$h"
        fi
        quit_game
        check "$game: start-up lines" grep -aq "Generating Terrain Display Lists..." "$RUN_DIR/stderr"
        check "$game: shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
        break
    done
    check "$game: a game in play was looked at" [ -n "$looked" ]
}

xvfb_start 1024 768 || exit 1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -k  # the desktop comes with Wine's next start
# Up is tried on the smallest screen, where the cube lands soonest; the
# minimise on the first build, the one in the menus.
smallest=$(printf '%s\n' "${BUILD_SCREENS[@]}" | sort -k2,2n -k3,3n | head -n 1)
for entry in "${BUILD_SCREENS[@]}"; do
    read -r name width height <<<"$entry"
    role=""
    [ "$entry" = "$smallest" ] && role=roll
    [ "$name" = "${BUILDS[0]}" ] && role=minimise
    play "$name" "$width" "$height" $role
done
finish
