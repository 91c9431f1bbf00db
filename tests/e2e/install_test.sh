#!/usr/bin/env bash
# `cmake --install` into a fresh prefix gives Debian's layout for games; each
# launcher, started from an unrelated folder, finds the images, draws its
# first frame and ends on Escape with status 0 and its shut-down lines,
# writing nothing into the data folder; the desktop entry, its AppStream
# metadata and the icons are valid.
. "$CUBEGAME_E2E_LIB"
prefix="$RUN_DIR/prefix"
data="$prefix/share/games/cubegame"
home="$RUN_DIR/home"
mkdir -p "$home"

cmake --install "$CUBEGAME_BIN" --prefix "$prefix" >"$RUN_DIR/install.log" 2>&1
check "cmake --install into $prefix" [ $? -eq 0 ]

for game in "${BUILDS[@]}"; do
    check "$game built into lib/games/cubegame" [ -x "$prefix/lib/games/cubegame/$game" ]
    check "$game launcher in games/" [ -x "$prefix/games/$game" ]
    check "$game manual page" [ -f "$prefix/share/man/man6/$game.6.gz" ]
done
for image in Map.tga MapTex.tga TexNoise.tga TexSkyBox.tga TexCube.tga TexPerson.tga TexPersonBack.tga TexTank.tga; do
    check "$image in the data folder" [ -s "$data/$image" ]
done
for size in 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x$size/apps/cubegame.png"
    check "${size} px icon is a ${size}x$size PNG" [ "$(identify -format "%m %wx%h" "$icon" 2>&1)" = "PNG ${size}x$size" ]
done
app=io.github.cubegame.Cubegame
desktop="$prefix/share/applications/$app.desktop"
check "desktop entry for the 640 build is valid" desktop-file-validate "$desktop"
check "desktop entry starts cubegame_640 from the Game menu" grep -qx "Exec=cubegame_640" "$desktop"
check "desktop entry in the Game category" grep -q "^Categories=Game;" "$desktop"
metainfo="$prefix/share/metainfo/$app.metainfo.xml"
check "AppStream metadata is valid" appstreamcli validate --no-net "$metainfo"
check "AppStream metadata launches the desktop entry" grep -q ">$app.desktop</launchable>" "$metainfo"

# Names, sizes and contents of everything in the data folder.
data_listing() {
    (cd "$data" && find . -printf "%p %s %m\n" | sort && find . -type f -exec md5sum {} + | sort)
}
before=$(data_listing)

for entry in "${BUILD_SCREENS[@]}"; do
    read -r game width height <<<"$entry"
    xvfb_start "$width" "$height" || exit 1
    # The launcher picks the video driver itself.
    start_in "$home" env -u SDL_VIDEODRIVER HOME="$home" "$prefix/games/$game"
    wait_for_frames
    check "$game: landscape loaded from the data folder" grep -q "Generating Terrain Display Lists..." "$RUN_DIR/stderr"
    shot="$RUN_DIR/$game.png"
    screenshot "$shot"
    # Sky, clouds and the falling cube at least; a blank frame has one colour.
    check "$game: first frame is not blank ($(colours "$shot") colours)" [ "$(colours "$shot")" -gt 50 ]
    quit_game
    check "$game: shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
    xvfb_stop
done

check "nothing written into the data folder" [ "$(data_listing)" = "$before" ]
check "nothing written into the folder the games started from" [ -z "$(ls -A "$home")" ]
finish
