#!/usr/bin/env bash
# tests/e2e/sdl12_compat.sh DIR: fetches Debian's sdl12-compat (SDL 1.2 on
# top of SDL 2, what newer distributions ship as SDL 1.2) and unpacks it into
# DIR, never system-wide: installed, it would replace the classic library.
# DIR/lib then holds its libSDL-1.2.so.0, for LD_LIBRARY_PATH.
set -euo pipefail
dest=$1
package=libsdl1.2-compat

[ -e "$dest/lib/libSDL-1.2.so.0" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
download=$(mktemp -d "${TMPDIR:-/tmp}/sdl12-compat-XXXXXX")
trap 'rm -rf "$download"' EXIT
cd "$download"
# A machine that never ran apt-get update has no package lists to download from.
if ! apt-get download -q "$package" >/dev/null 2>&1; then
    $sudo apt-get update -qq
    apt-get download -q "$package" || { echo "could not download $package" >&2; exit 1; }
fi

# DIR/lib comes last, so a half-unpacked tree is never taken for a whole one.
mkdir -p "$dest"
rm -rf "$dest/root" "$dest/root.part" "$dest/lib"
dpkg-deb -x "$download"/"$package"_*.deb "$dest/root.part"
mv "$dest/root.part" "$dest/root"
library=$(find "$dest/root" -name libSDL-1.2.so.0 | head -n 1)
[ -n "$library" ] || { echo "$package holds no libSDL-1.2.so.0" >&2; exit 1; }
# It opens SDL 2 at run time, which scripts/deps.sh installs.
if ! /sbin/ldconfig -p | grep -q "libSDL2-2.0.so.0 "; then
    echo "$package needs SDL 2's libSDL2-2.0.so.0: install libsdl2-2.0-0 (scripts/deps.sh)" >&2
    exit 1
fi
ln -sfn "$(dirname "$library")" "$dest/lib"
echo "sdl12-compat unpacked: $(basename "$(readlink -f "$library")") in $dest/lib"
