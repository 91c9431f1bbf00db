#!/usr/bin/env bash
# The GoogleTest suites built for Windows, each run once under Wine in Xvfb
# with the SDL.dll of the release zip (the same seed placing the same world
# as on Linux among them), after a look at what the games import.
. "$CUBEGAME_E2E_LIB_WINDOWS"

# glibc's rand() and srand() are linked in; msvcrt's must not be imported.
for game in "$GAME_DIR"/*.exe; do
    check "$(basename "$game") imports no rand or srand" \
        bash -c "! x86_64-w64-mingw32-objdump -p '$game' | grep -qwE 'rand|srand'"
done

xvfb_start 640 480 || exit 1
cp "$WINDOWS_TESTS"/*_test.exe "$GAME_DIR/"
for suite in "$GAME_DIR"/*_test.exe; do
    name=$(basename "$suite" .exe)
    status=0
    (cd "$GAME_DIR" && timeout 300 wine "./$name.exe" >"$RUN_DIR/$name.log" 2>&1 </dev/null) || status=$?
    passed=$(grep -a -o "PASSED  ] [0-9]* test" "$RUN_DIR/$name.log" | grep -o "[0-9]*")
    check "$name: ${passed:-no} cases passed, status $status" [ "$status" -eq 0 -a -n "$passed" ]
    [ "$status" -eq 0 ] || grep -a -E "Failure|FAILED|Expected|Which is" "$RUN_DIR/$name.log" | head -n 20
done
finish
