#!/usr/bin/env bash
# `cpack -G DEB` on a Release build makes a .deb that holds the install
# layout, declares SDL 1.2, GL, GLU and freeglut from the libraries the games
# link, passes lintian with no error, and whose unpacked launcher plays.
. "$CUBEGAME_E2E_LIB"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build="$RUN_DIR/build"

# The package is built the way a user builds it, not from the sanitized test build.
if ! { cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$build" -j2 &&
       (cd "$build" && cpack -G DEB); } >"$RUN_DIR/package.log" 2>&1; then
    fail "Release build and cpack (see $RUN_DIR/package.log)"
    tail -n 30 "$RUN_DIR/package.log"
    finish
fi
deb=$(ls "$build"/cubegame_*.deb)
check "one package named like cubegame_VERSION_ARCH.deb ($deb)" [ "$(echo "$deb" | wc -l)" -eq 1 ]

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in "${BUILDS[@]/#/usr/games/}" "${BUILDS[@]/#/usr/lib/games/cubegame/}" \
            usr/share/games/cubegame/Map.tga usr/share/games/cubegame/TexTank.tga \
            usr/share/applications/io.github.cubegame.Cubegame.desktop \
            usr/share/metainfo/io.github.cubegame.Cubegame.metainfo.xml \
            usr/share/icons/hicolor/48x48/apps/cubegame.png usr/share/icons/hicolor/128x128/apps/cubegame.png \
            usr/share/icons/hicolor/64x64/apps/cubegame.png \
            usr/share/icons/hicolor/256x256/apps/cubegame.png usr/share/doc/cubegame/copyright \
            usr/share/doc/cubegame/changelog.gz usr/share/man/man6/cubegame_640.6.gz; do
    check "package holds /$path" grep -qx "\./$path" <<<"$contents"
done
check "package holds the eight images and nothing more in the data folder" \
    [ "$(grep -c '^\./usr/share/games/cubegame/.' <<<"$contents")" -eq 8 ]

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libsdl1.2debian libgl1 libglu1 libglut; do
    check "depends on $library" grep -q "\b$library" <<<"$depends"
done
check "section games" [ "$(dpkg-deb -f "$deb" Section)" = games ]

root=()
[ "$(id -u)" -eq 0 ] && root=(--allow-root)
lintian "${root[@]}" --fail-on error "$deb" >"$RUN_DIR/lintian.log" 2>&1
status=$?
cat "$RUN_DIR/lintian.log"
check "lintian finds no error (status $status)" [ "$status" -eq 0 ]

# What the package unpacks runs: stripped builds, launchers, images.
dpkg-deb -x "$deb" "$RUN_DIR/unpacked"
xvfb_start 320 240 || exit 1
start_in "$RUN_DIR" env -u SDL_VIDEODRIVER "$RUN_DIR/unpacked/usr/games/cubegame_320"
wait_for_frames
quit_game
check "unpacked game: shut-down lines in order" shutdown_lines_in_order "$RUN_DIR/stderr"
finish
