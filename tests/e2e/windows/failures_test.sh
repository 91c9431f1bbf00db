#!/usr/bin/env bash
# The Windows game's failures print what the Linux one prints, byte for byte
# but for the CRLF line ends, and exit 0: no display, a missing image. The
# time limit catches an entry that never reaches the game (a main renamed by
# SDL_main.h into an SDL_main that calls itself forever).
. "$CUBEGAME_E2E_LIB_WINDOWS"

start_game cubegame_320 -u DISPLAY timeout 60
wait "$GAME_PID"; status=$?
check "no display: exit 0 within 60 s (got $status)" [ "$status" -eq 0 ]
check "no display: 'Couldn't init SDL' in stdout.txt" grep -qx $'Couldn\'t init SDL\r' "$GAME_DIR/stdout.txt"
check "no display: shut-down lines" shutdown_lines_in_order "$GAME_DIR/stderr.txt"
wineserver -k

xvfb_start 320 240 || exit 1
for image in Map.tga TexTank.tga; do
    mv "$GAME_DIR/$image" "$RUN_DIR/"
    start_game cubegame_320 timeout 60
    wait "$GAME_PID"; status=$?
    check "no $image: exit 0 (got $status)" [ "$status" -eq 0 ]
    (cd "$GAME_DIR" && env "${GAME_ENV[@]}" timeout 60 "$CUBEGAME_BIN/cubegame_320" >../linux.out 2>../linux.err)
    for out in out err; do
        check "no $image: std$out as on Linux" cmp <(tr -d '\r' <"$GAME_DIR/std$out.txt" 2>/dev/null) "$RUN_DIR/linux.$out"
    done
    mv "$RUN_DIR/$image" "$GAME_DIR/"
done
GAME_PID=""
finish
