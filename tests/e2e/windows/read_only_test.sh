#!/usr/bin/env bash
# A Windows game in a folder it cannot write to (a read-only bind mount, as
# root ignores file modes) still starts, plays and quits with status 0, its
# messages in %LOCALAPPDATA%\cubegame\ and the same bytes as from a folder it
# may write to; nothing lands beside it.
. "$CUBEGAME_E2E_LIB_WINDOWS"
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -n 1)/cubegame
rm -rf "$user_dir"
listing=$(ls -A "$GAME_DIR")

# The Wine server opens the files, so it starts inside the mount's namespace.
wineserver -k 2>/dev/null
xvfb_start 320 240 || exit 1
ln -sfn "$user_dir/stdout.txt" "$RUN_DIR/stdout"
ln -sfn "$user_dir/stderr.txt" "$RUN_DIR/stderr"
unshare -m bash -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && cd "$1" &&
    exec wine ./cubegame_320.exe' _ "$GAME_DIR" >"$RUN_DIR/wine.log" 2>&1 </dev/null &
GAME_PID=$!
wait_for_frames
quit_game
wineserver -k 2>/dev/null
check "start-up lines in $user_dir" grep -aq "Generating Terrain Display Lists..." "$user_dir/stderr.txt"
check "shut-down lines in order" shutdown_lines_in_order "$user_dir/stderr.txt"
check "nothing written beside the game" [ "$(ls -A "$GAME_DIR")" = "$listing" ]

# The same lines as a writable folder gets, byte for byte, up to the first frame's.
start_game cubegame_320
wait_for_frames
quit_game
for name in stdout stderr; do
    check "$name.txt: the same start-up bytes as beside the game" \
        cmp <(sed '/Frame Rate:/Q' "$user_dir/$name.txt" 2>/dev/null) <(sed '/Frame Rate:/Q' "$GAME_DIR/$name.txt" 2>/dev/null)
done
finish
