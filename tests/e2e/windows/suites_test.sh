#!/usr/bin/env bash
# The GoogleTest suites built for Windows pass under Wine, each run once,
# with the release zip's SDL.dll.
. "$CUBEGAME_E2E_LIB_WINDOWS"
xvfb_start 640 480 || exit 1
cp "$CUBEGAME_WINDOWS"/game/tests/windows/*_test.exe "$GAME_DIR/"
for suite in "$GAME_DIR"/*_test.exe; do
    name=$(basename "$suite" .exe)
    (cd "$GAME_DIR" && timeout 300 wine "./$name.exe" >"$RUN_DIR/$name.log" 2>&1 </dev/null); status=$?
    passed=$(grep -ao "PASSED  ] [0-9]*" "$RUN_DIR/$name.log" | grep -o "[0-9]*$")
    check "$name: ${passed:-no} cases passed, status $status" [ "$status" -eq 0 -a -n "$passed" ]
    [ "$status" -eq 0 ] || grep -aE "Failure|FAILED|Expected|Which is" "$RUN_DIR/$name.log" | head -n 20
done
finish
