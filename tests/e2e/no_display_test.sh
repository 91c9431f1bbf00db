#!/usr/bin/env bash
# Without a usable display the game says why on standard output, still prints
# its shut-down lines, and exits 0.
. "$CUBEGAME_E2E_LIB"
make_images

run_headless() {  # VIDEODRIVER, or none
    local status=0 driver=(SDL_VIDEODRIVER="$1")
    [ -n "$1" ] || driver=(env -u SDL_VIDEODRIVER)
    rm -f "$RUN_DIR"/loader.*
    (cd "$RUN_DIR" && exec env -u DISPLAY "${GAME_ENV[@]}" "${driver[@]}" timeout 60 "$CUBEGAME_BIN/cubegame_320" \
        >"$RUN_DIR/stdout" 2>"$RUN_DIR/stderr" </dev/null) || status=$?
    check_sdl_library "$RUN_DIR"/loader.*
    return "$status"
}

run_headless x11; status=$?
check "no display: exit 0 (got $status)" [ "$status" -eq 0 ]
check "no display: 'Couldn't init SDL' on standard output" grep -qx "Couldn't init SDL" "$RUN_DIR/stdout"
check "no display: shut-down lines" shutdown_lines_in_order "$RUN_DIR/stderr"

# Left to choose, SDL (SDL 2 under sdl12-compat above all) must not settle
# for a console or off-screen driver.
run_headless ""; status=$?
check "no display, no driver named: exit 0 (got $status)" [ "$status" -eq 0 ]
check "no display, no driver named: 'Couldn't init SDL' on standard output" grep -qx "Couldn't init SDL" "$RUN_DIR/stdout"

run_headless dummy; status=$?
check "no OpenGL driver: exit 0 (got $status)" [ "$status" -eq 0 ]
check "no OpenGL driver: 'Couldn't set Video Mode' on standard output" grep -qx "Couldn't set Video Mode" "$RUN_DIR/stdout"
check "no OpenGL driver: shut-down lines" shutdown_lines_in_order "$RUN_DIR/stderr"
finish
