#!/usr/bin/env bash
# scripts/windows.sh [--tests]: builds the Windows release on Debian 12,
# build-win/cubegame-VERSION-win64.zip: the four games cross-compiled with
# mingw-w64, SDL 1.2 as a DLL and freeglut, both built from Debian's own
# source packages, the eight images (drawn by makeimages.exe under Wine), a
# README for players and the libraries' licences. --tests also builds the
# GoogleTest suites for Windows. The libraries are built once and kept in the
# build folder (CUBEGAME_WIN_BUILD, default build-win/).
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
games=(cubegame_640 cubegame_1024 cubegame_320 cubegame_640_15k)
mkdir -p "$build"
log=$build/log
: >"$log"

say() { echo "windows: $*" >&2; }

# Runs a step with its output in the log, shown only when it fails.
quietly() {
    if ! "$@" >>"$log" 2>&1; then
        tail -n 40 "$log" >&2
        say "failed: $* (whole log in $log)"
        exit 1
    fi
}

install_packages() {
    local packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
        cmake make dpkg-dev xz-utils zip unzip libgtest-dev) missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# apt-get source needs deb-src entries. They go into a private apt
# configuration in the build folder, made from the machine's own Debian
# entries: the machine's sources and package lists are never touched.
fetch_sources() {
    local src=$build/src apt=$build/apt
    [ -e "$src/.fetched" ] && return 0
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
    touch "$src/.fetched"
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

# Debian's patches are applied; its configure is used as shipped. SDLmain
# keeps its default: the games' output goes to stdout.txt and stderr.txt.
build_sdl() {
    [ -e "$deps/bin/SDL.dll" ] && return 0
    say "building SDL 1.2 for Windows"
    rm -rf "$build/sdl"
    cp -a "$(source_dir libsdl1.2)" "$build/sdl"
    (cd "$build/sdl" &&
        quietly ./configure --host=$host --prefix="$deps" --disable-static \
            CC=$host-gcc-posix CFLAGS="-O2" &&
        quietly make -j"$jobs" &&
        quietly make install)
}

# Linked statically (its licence allows it); its warnings are off, since
# Wine hands it X's DISPLAY, which it would take for a Windows device name.
build_freeglut() {
    [ -e "$deps/include/GL/glut.h" ] && return 0
    say "building freeglut for Windows"
    quietly cmake -S "$(source_dir freeglut)" -B "$build/freeglut" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
        -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_REPLACE_GLUT=ON -DFREEGLUT_BUILD_DEMOS=OFF \
        -DFREEGLUT_PRINT_WARNINGS=OFF
    quietly cmake --build "$build/freeglut" -j"$jobs"
    quietly cmake --install "$build/freeglut"
}

# Debian ships GoogleTest as source; it is built here like the libraries.
build_gtest() {
    [ "$tests" = ON ] || return 0
    [ -e "$deps/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
    say "building GoogleTest for Windows"
    quietly cmake -S /usr/src/googletest -B "$build/gtest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=OFF
    quietly cmake --build "$build/gtest" -j"$jobs"
    quietly cmake --install "$build/gtest"
}

build_game() {
    say "building the games"
    quietly cmake -S "$root" -B "$build/game" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCUBEGAME_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DCUBEGAME_TESTS=$tests
    local targets=("${games[@]}" makeimages)
    [ "$tests" = ON ] && targets+=(windows_tests)
    quietly cmake --build "$build/game" -j"$jobs" --target "${targets[@]}"
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
    . "$root/scripts/wine.sh"
    wine_prefix "$build/wine"
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
    (cd "$build" && quietly zip -q -r -X "$name.zip" "$name")
    echo "$build/$name.zip"
}

install_packages
fetch_sources
build_sdl
build_freeglut
build_gtest
build_game
pack
