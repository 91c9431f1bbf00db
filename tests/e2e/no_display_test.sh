#!/usr/bin/env bash
# Without a usable display the game says why on standard output, still prints
# its shut-down lines, and exits 0.
. "$CUBEGAME_E2E_LIB"
make_images

run_headless() {  # VIDEODRIVER
    local status=0
    (cd "$RUN_DIR" && exec env -u DISPLAY SDL_VIDEODRIVER="$1" timeout 60 "$CUBEGAME_BIN/cubegame_320" \
        >"$RUN_DIR/stdout" 2>"$RUN_DIR/stderr" </dev/null) || status=$?
    return "$status"
}

run_headless x11; status=$?
check "no display: exit 0 (got $status)" [ "$status" -eq 0 ]
check "no display: 'Couldn't init SDL' on standard output" grep -qx "Couldn't init SDL" "$RUN_DIR/stdout"
check "no display: shut-down lines" shutdown_lines_in_order "$RUN_DIR/stderr"

run_headless dummy; status=$?
check "no OpenGL driver: exit 0 (got $status)" [ "$status" -eq 0 ]
check "no OpenGL driver: 'Couldn't set Video Mode' on standard output" grep -qx "Couldn't set Video Mode" "$RUN_DIR/stdout"
check "no OpenGL driver: shut-down lines" shutdown_lines_in_order "$RUN_DIR/stderr"
finish
