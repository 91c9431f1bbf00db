#!/usr/bin/env bash
# The sanitized games played for real: the smallest and the largest build
# each take at least 30 s of random driving with `i` held now and then, then
# quit on Escape with status 0 and not one sanitizer report (leaks included).
. "$CUBEGAME_E2E_LIB"
make_images
PLAY_SECONDS=30
KEYS=(Up Up Up Left Right Down)

# drive_randomly SECONDS: arrow keys held 0.2 to 2 s at random, sometimes
# with `i` for the read-out.
drive_randomly() {
    local until=$((SECONDS + $1)) key hold
    while [ "$SECONDS" -lt "$until" ] && kill -0 "$GAME_PID" 2>/dev/null; do
        key=${KEYS[RANDOM % ${#KEYS[@]}]}
        hold=$((2 + RANDOM % 19))
        xdotool keydown "$key"
        [ $((RANDOM % 4)) -eq 0 ] && xdotool keydown i
        sleep "$((hold / 10)).$((hold % 10))"
        xdotool keyup i keyup "$key"
    done
}

mapfile -t entries < <(printf "%s\n" "${BUILD_SCREENS[@]}" | sort -n -k2 | sed -n '1p;$p')
for entry in "${entries[@]}"; do
    read -r game width height <<<"$entry"
    xvfb_start "$width" "$height" || exit 1
    start_game "$game"
    wait_for_frames
    started=$SECONDS
    drive_randomly "$PLAY_SECONDS"
    played=$((SECONDS - started))
    check "$game: ${played}s of random driving" [ "$played" -ge "$PLAY_SECONDS" ]
    check "$game: still running after it" kill -0 "$GAME_PID"
    check "$game: read-out printed while driving" [ "$(grep -c "Frame Rate:" "$RUN_DIR/stderr")" -gt 1 ]
    quit_game
    check "$game: shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
    cp "$RUN_DIR/stderr" "$RUN_DIR/$game.stderr"
    xvfb_stop
done
finish
