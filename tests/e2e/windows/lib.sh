# Sourced by the Windows end-to-end tests: the release zip that
# scripts/windows.sh made in CUBEGAME_WINDOWS, unpacked into the run folder
# and played under Wine with the Linux tests' helpers.
. "$CUBEGAME_E2E_LIB"
. "$here/../../scripts/wine.sh"
wine_prefix "$CUBEGAME_WINDOWS/wine"
GAME_DIR=$RUN_DIR/game
unzip -q "$CUBEGAME_WINDOWS"/cubegame-*-win64.zip -d "$RUN_DIR" && mv "$RUN_DIR"/cubegame-*-win64 "$GAME_DIR" ||
    { fail "no release zip in $CUBEGAME_WINDOWS"; finish; }

# Wine's processes outlive a killed launcher, and its desktop the display.
trap 'cleanup; wineserver -k 2>/dev/null' EXIT

# start_game BUILD [ENV-ARGS...]: like a double-clicked game, it writes its
# lines into stdout.txt and stderr.txt beside it (SDL's start-up library);
# RUN_DIR's stdout and stderr point there for lib.sh's helpers.
start_game() {
    rm -f "$GAME_DIR/stdout.txt" "$GAME_DIR/stderr.txt"
    ln -sfn "$GAME_DIR/stdout.txt" "$RUN_DIR/stdout"
    ln -sfn "$GAME_DIR/stderr.txt" "$RUN_DIR/stderr"
    (cd "$GAME_DIR" && exec env "${@:2}" wine "./$1.exe" >"$RUN_DIR/wine.log" 2>&1 </dev/null) &
    GAME_PID=$!
}
