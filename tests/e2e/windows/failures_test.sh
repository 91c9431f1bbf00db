#!/usr/bin/env bash
# The Windows games' failures say what the Linux ones say, byte for byte but
# for the line ends, and still exit 0: no display, and a missing image. The
# time limit also catches an entry that never reaches the game (a main that
# SDL_main.h renamed into a copy of SDL_main calls itself forever).
. "$CUBEGAME_E2E_LIB_WINDOWS"

run_windows() {  # BUILD [ENV-ARGS...]: to its end, at most 60 s; its exit status
    rm -f "$GAME_DIR/stdout.txt" "$GAME_DIR/stderr.txt"
    (cd "$GAME_DIR" && exec env "${@:2}" timeout 60 wine "./$1.exe" >"$RUN_DIR/wine.log" 2>&1 </dev/null)
}

# Without X the game cannot open its window; Wine gets no display either.
run_windows cubegame_320 -u DISPLAY; status=$?
check "no display: exit 0 within 60 s (got $status)" [ "$status" -eq 0 ]
check "no display: 'Couldn't init SDL' in stdout.txt" grep -qx $'Couldn\'t init SDL\r' "$GAME_DIR/stdout.txt"
check "no display: shut-down lines" shutdown_lines_in_order "$GAME_DIR/stderr.txt"
xvfb_stop

# A missing image, here and on Linux (the build under test, same images).
xvfb_start 320 240 || exit 1
mkdir -p "$RUN_DIR/linux"
for image in Map.tga TexTank.tga; do
    mv "$GAME_DIR/$image" "$RUN_DIR/$image"
    run_windows cubegame_320; status=$?
    check "no $image: exit 0 (got $status)" [ "$status" -eq 0 ]
    cp "$GAME_DIR"/*.tga "$RUN_DIR/linux/"
    (cd "$RUN_DIR/linux" && exec env "${GAME_ENV[@]}" timeout 120 "$CUBEGAME_BIN/cubegame_320" \
        >"$RUN_DIR/linux.out" 2>"$RUN_DIR/linux.err" </dev/null)
    check "no $image: the same standard error as on Linux" \
        cmp <(without_cr "$GAME_DIR/stderr.txt") "$RUN_DIR/linux.err"
    check "no $image: the same standard output as on Linux" \
        cmp <(without_cr "$GAME_DIR/stdout.txt" 2>/dev/null) "$RUN_DIR/linux.out"
    mv "$RUN_DIR/$image" "$GAME_DIR/$image"
    rm -f "$RUN_DIR"/linux/*
done
finish
