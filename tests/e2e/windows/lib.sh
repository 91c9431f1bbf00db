# Sourced by the Windows end-to-end tests: the release zip scripts/windows.sh
# made in CUBEGAME_WINDOWS (its build folder), unpacked into the run folder
# and played under Wine in Xvfb with the helpers of the Linux tests.
. "$CUBEGAME_E2E_LIB"
. "$here/../../scripts/wine.sh"
wine_prefix "$CUBEGAME_WINDOWS/wine"
WINDOWS_TESTS=$CUBEGAME_WINDOWS/game/tests/windows
GAME_DIR=$RUN_DIR/game

zip=$(ls "$CUBEGAME_WINDOWS"/cubegame-*-win64.zip 2>/dev/null | head -n 1)
if ! unzip -q "$zip" -d "$RUN_DIR/unzipped" 2>/dev/null; then
    fail "cannot unpack the release zip (${zip:-none in $CUBEGAME_WINDOWS})"
    finish
fi
mv "$RUN_DIR"/unzipped/cubegame-*-win64 "$GAME_DIR"

# Wine's desktop stays on the display it started with, and its processes
# outlive a killed launcher: both go with the display.
eval "$(declare -f xvfb_stop | sed '1s/xvfb_stop/xvfb_stop_only/')"
xvfb_stop() {
    wineserver -k 2>/dev/null
    xvfb_stop_only
}

# start_game BUILD [VAR=VALUE...]: as a double-clicked game, it writes its
# lines into stdout.txt and stderr.txt beside it (SDL's start-up library);
# RUN_DIR's stdout and stderr point there, for lib.sh's helpers.
start_game() {
    local game=$1
    shift
    rm -f "$GAME_DIR/stdout.txt" "$GAME_DIR/stderr.txt"
    ln -sfn "$GAME_DIR/stdout.txt" "$RUN_DIR/stdout"
    ln -sfn "$GAME_DIR/stderr.txt" "$RUN_DIR/stderr"
    (cd "$GAME_DIR" && exec env "$@" wine "./$game.exe" >"$RUN_DIR/wine.log" 2>&1 </dev/null) &
    GAME_PID=$!
}

# Windows writes text files with CRLF line ends.
without_cr() {  # FILE
    tr -d '\r' <"$1"
}

# A Wine virtual desktop stands for the Windows desktop: a full-screen game
# switches it to its own size, as Windows switches the screen's mode (Wine
# straight on X offers only the screen's own size).
wine_desktop() {  # WxH
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f >/dev/null 2>&1
}

desktop_size() {  # the virtual desktop's size now, as WxH
    xwininfo -root -tree | sed -n 's/.*"Default - Wine desktop".* \([0-9]*x[0-9]*\)+.*/\1/p' | head -n 1
}
