#!/usr/bin/env bash
# scripts/windows.sh [--tests]: builds the Windows release on Debian 12,
# build-win/cubegame-VERSION-win64.zip: the four games cross-compiled with
# mingw-w64, SDL 1.2 as a DLL and freeglut, both built from Debian's own
# source packages, the eight images (drawn by makeimages.exe under Wine), a
# README for players and the libraries' licences. --tests also builds the
# GoogleTest suites for Windows. The libraries are kept in the build folder
# (CUBEGAME_WIN_BUILD, default build-win/), each rebuilt when its source or
# flags change. The zip is the same bytes for the same commit: its files are
# sorted and dated by the last commit (SOURCE_DATE_EPOCH).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CUBEGAME_WIN_BUILD:-$root/build-win}
tests=OFF
[ "${1:-}" = --tests ] && tests=ON
jobs=$(nproc)
host=x86_64-w64-mingw32
toolchain=$root/platform/mingw-w64.cmake
deps=$build/deps
version=$(sed -n 's/^project(cubegame VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
mapfile -t games < <(cmake -P "$root/config/names.cmake")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
mkdir -p "$build"
log=$build/log
: >"$log"

step_name=windows
. "$root/scripts/steps.sh"

# A build step's key: a hash of everything it depends on. A step reruns
# when its key differs from the one it last finished with.
key_of() { printf '%s\n' "$@" | sha256sum | cut -d' ' -f1; }
up_to_date() { [ -e "$build/$1.key" ] && [ "$(cat "$build/$1.key")" = "$2" ]; }
remember() { echo "$2" >"$build/$1.key"; }

compiler_version() { $host-gcc-posix --version | head -n 1; }

# apt-get source needs deb-src entries. They go into a private apt
# configuration in the build folder, made from the machine's own Debian
# entries: the machine's sources and package lists are never touched.
fetch_sources() {
    local src=$build/src apt=$build/apt key
    key=$(key_of libsdl1.2 freeglut "$(cat /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null)")
    up_to_date sources "$key" && return 0
    say "fetching Debian's source packages of SDL 1.2 and freeglut"
    rm -rf "$src" "$apt"
    mkdir -p "$src" "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
    if [ -e /etc/apt/sources.list ]; then
        grep -E '^[[:space:]]*deb[[:space:]].*debian' /etc/apt/sources.list |
            sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' >"$apt/sources.list" || true
    fi
    touch "$apt/sources.list"
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -e "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" } /debian/ && !/Enabled: *no/ {
                 sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    for f in /etc/apt/sources.list.d/*.list; do
        [ -e "$f" ] || continue
        grep -E '^[[:space:]]*deb[[:space:]].*debian' "$f" |
            sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' >"$apt/sources.list.d/$(basename "$f")" || true
    done
    {
        echo "Dir::Etc::SourceList \"$apt/sources.list\";"
        echo "Dir::Etc::SourceParts \"$apt/sources.list.d\";"
        echo "Dir::State::Lists \"$apt/lists\";"
        echo "Dir::Cache \"$apt/cache\";"
        [ "$(id -u)" -eq 0 ] && echo 'APT::Sandbox::User "root";'
    } >"$apt/apt.conf"
    quietly env APT_CONFIG="$apt/apt.conf" apt-get update
    (cd "$src" && quietly env APT_CONFIG="$apt/apt.conf" apt-get source libsdl1.2 freeglut)
    remember sources "$key"
}

source_dir() {  # source_dir PACKAGE-PREFIX
    local dir
    dir=$(find "$build/src" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -n 1)
    [ -n "$dir" ] || { say "no source of $1 in $build/src"; exit 1; }
    echo "$dir"
}

package_version() {  # package_version SOURCE-PACKAGE: Debian's version of it
    sed -n 's/^Version: //p' "$build/src/$1"_*.dsc | head -n 1
}

# Debian's patches are applied; its configure is used as shipped. The games
# bring their own entry in place of SDLmain's (platform/windows_main.cpp).
build_sdl() {
    local flags=(--host=$host --prefix="$deps" --disable-static CC=$host-gcc-posix CFLAGS="-O2"
        LDFLAGS="-Wl,--no-insert-timestamp") key
    key=$(key_of "${flags[@]}" "$(cat "$build/src"/libsdl1.2_*.dsc)" "$(compiler_version)")
    up_to_date sdl "$key" && return 0
    say "building SDL 1.2 for Windows"
    rm -rf "$build/sdl"
    cp -a "$(source_dir libsdl1.2)" "$build/sdl"
    (cd "$build/sdl" &&
        quietly ./configure "${flags[@]}" &&
        quietly make -j"$jobs" &&
        quietly make install)
    remember sdl "$key"
}

# Linked statically (its licence allows it); its warnings are off, since
# Wine hands it X's DISPLAY, which it would take for a Windows device name.
build_freeglut() {
    local flags=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps"
        -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_REPLACE_GLUT=ON
        -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_PRINT_WARNINGS=OFF) key
    key=$(key_of "${flags[@]}" "$(cat "$build/src"/freeglut_*.dsc "$toolchain")" "$(compiler_version)")
    up_to_date freeglut "$key" && return 0
    say "building freeglut for Windows"
    rm -rf "$build/freeglut"
    quietly cmake -S "$(source_dir freeglut)" -B "$build/freeglut" "${flags[@]}"
    quietly cmake --build "$build/freeglut" -j"$jobs"
    quietly cmake --install "$build/freeglut"
    remember freeglut "$key"
}

# Debian ships GoogleTest as source; it is built here like the libraries.
build_gtest() {
    [ "$tests" = ON ] || return 0
    local flags=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps"
        -DBUILD_GMOCK=OFF) key
    key=$(key_of "${flags[@]}" "$(dpkg-query -W -f='${Version}' googletest)" "$(cat "$toolchain")" "$(compiler_version)")
    up_to_date gtest "$key" && return 0
    say "building GoogleTest for Windows"
    rm -rf "$build/gtest"
    quietly cmake -S /usr/src/googletest -B "$build/gtest" "${flags[@]}"
    quietly cmake --build "$build/gtest" -j"$jobs"
    quietly cmake --install "$build/gtest"
    remember gtest "$key"
}

build_game() {
    say "building the games"
    quietly cmake -S "$root" -B "$build/game" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCUBEGAME_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DCUBEGAME_TESTS=$tests
    local targets=("${games[@]}" makeimages)
    [ "$tests" = ON ] && targets+=(windows_tests)
    # The build draws the games' icon with makeimages.exe under Wine.
    quietly env -u DISPLAY cmake --build "$build/game" -j"$jobs" --target "${targets[@]}"
}

# The folder the zip is made of, and the zip.
pack() {
    local name=cubegame-$version-win64
    local stage=$build/$name
    say "packing $name.zip"
    rm -rf "$stage" "$build/$name.zip"
    mkdir -p "$stage"
    local game
    for game in "${games[@]}"; do
        cp "$build/game/$game.exe" "$stage/"
        $host-strip "$stage/$game.exe"
    done
    cp "$deps/bin/SDL.dll" "$stage/"
    $host-strip "$stage/SDL.dll"
    (cd "$stage" && quietly env -u DISPLAY wine "$build/game/makeimages.exe" .)
    local image
    for image in Map MapTex TexNoise TexSkyBox TexCube TexPerson TexPersonBack TexTank; do
        [ -s "$stage/$image.tga" ] || { say "makeimages.exe made no $image.tga"; exit 1; }
    done
    # Notepad wants CRLF line ends.
    sed -e "s/@VERSION@/$version/" -e "s/@SDL_VERSION@/$(package_version libsdl1.2)/" \
        -e "s/@FREEGLUT_VERSION@/$(package_version freeglut)/" -e 's/$/\r/' \
        "$root/platform/README-windows.txt" >"$stage/README.txt"
    sed 's/$/\r/' "$(source_dir libsdl1.2)/COPYING" >"$stage/LICENSE-SDL.txt"
    sed 's/$/\r/' "$(source_dir freeglut)/COPYING" >"$stage/LICENSE-freeglut.txt"
    . "$root/scripts/zip_dated.sh"
    quietly zip_dated "$build" "$name" "$build/$name.zip"
    echo "$build/$name.zip"
}

"$root/scripts/deps.sh" windows
. "$root/scripts/wine.sh"
wine_prefix "$build/wine"
fetch_sources
build_sdl
build_freeglut
build_gtest
build_game
pack
