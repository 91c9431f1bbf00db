#!/usr/bin/env bash
# scripts/deps.sh [web] [windows]: installs the Debian packages the game, its
# tools and its tests need, when any is missing (apt-get; sudo when not root);
# `web` adds what the web release and its tests need, `windows` what the
# Windows release needs (the cross compiler, Wine, zip).
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libsdl1.2-dev libsdl2-2.0-0 libgl1-mesa-dev libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri
    xvfb xauth x11-utils xdotool imagemagick
    libgtest-dev libbenchmark-dev
    dpkg-dev file lintian desktop-file-utils appstream
    clang libclang-rt-14-dev
)
for group in "$@"; do
    case "$group" in
        web) packages+=(emscripten chromium python3) ;;
        windows) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 xz-utils zip unzip) ;;
        *) echo "deps.sh: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
