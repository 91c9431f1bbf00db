#!/usr/bin/env bash
# scripts/release.sh, from the Windows and web builds the fixtures made: the
# checksums verify; the .deb, both zips and their insides carry the one
# version; the .deb installs (into a private dpkg root) with valid metadata;
# the zips hold what players need, index.html at the web zip's root; every
# exe carries its resources, no link time, and imports only Windows' own
# DLLs and SDL.dll.
. "$CUBEGAME_E2E_LIB"
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
out=$RUN_DIR/release
version=$(sed -n 's/^project(cubegame VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
deb=$out/cubegame_${version}_amd64.deb win=$out/cubegame-$version-win64.zip web=$out/cubegame-$version-web.zip

if ! CUBEGAME_RELEASE_WORK=$RUN_DIR/work "$source_dir/scripts/release.sh" "$out" >"$RUN_DIR/release.log" 2>&1; then
    tail -n 30 "$RUN_DIR/release.log"
    fail "scripts/release.sh (see $RUN_DIR/release.log)"
    finish
fi
check "the release holds the three archives and SHA256SUMS, nothing else" \
    [ "$(ls "$out" | LC_ALL=C sort | tr '\n' ' ')" = "SHA256SUMS $(basename "$web") $(basename "$win") $(basename "$deb") " ]
check "SHA256SUMS verifies" bash -c "cd '$out' && sha256sum --quiet -c SHA256SUMS"

# The package, installed into a dpkg database of its own.
check ".deb is version $version" [ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
root=$RUN_DIR/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
check ".deb installs" dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb"
app=io.github.cubegame.Cubegame
check "installed AppStream metadata is valid" appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml"
check "AppStream release $version" grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app.metainfo.xml"
check "installed desktop entry is valid" desktop-file-validate "$root/usr/share/applications/$app.desktop"

# The Windows zip.
unzip -q "$win" -d "$RUN_DIR/win"
dir=$RUN_DIR/win/cubegame-$version-win64
check "README.txt names version $version" grep -q "^cubegame $version for Windows" "$dir/README.txt"
for file in SDL.dll Map.tga TexTank.tga LICENSE-SDL.txt LICENSE-freeglut.txt; do
    check "Windows zip holds $file" [ -s "$dir/$file" ]
done
committed=$(git -C "$source_dir" log -1 --format=%ct)
for game in $(cmake -P "$source_dir/config/names.cmake"); do
    exe=$dir/$game.exe
    check "$game.exe has a resource section" grep -q " \.rsrc " <(x86_64-w64-mingw32-objdump -h "$exe")
    check "$game.exe carries version $version" grep -qx "$version" <(strings -el "$exe")
    check "$game.exe names its build" grep -q "^$game: [0-9]* x [0-9]*, " <(strings -el "$exe")
    check "$game.exe declares DPI awareness" grep -q "<dpiAware" <(strings "$exe")
    stamp=$(TZ=UTC x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^Time\/Date[[:space:]]*//p')
    # A link time would be later than the last commit; a pinned one is not.
    check "$game.exe dated no later than the last commit ($stamp)" [ "$(TZ=UTC date -d "$stamp" +%s)" -le "$committed" ]
    imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | sort -u | tr '\n' ' ')
    check "$game.exe imports only Windows' DLLs and SDL.dll ($imports)" \
        [ -z "$(grep -viwE 'KERNEL32|msvcrt|USER32|GDI32|OPENGL32|GLU32|WINMM|ADVAPI32|SDL' <<<"${imports// /$'\n'}" | grep .)" ]
done

# The web zip: the site's files at its root.
listing=$(unzip -Z1 "$web" | LC_ALL=C sort)
check "web zip has index.html at its root" grep -qx index.html <<<"$listing"
check "web zip holds the whole site" [ "$listing" = "$(cd "$CUBEGAME_RELEASE_WEB" && find . -type f -printf '%P\n' | LC_ALL=C sort)" ]
for game in $(cmake -P "$source_dir/config/names.cmake"); do
    check "web zip holds $game.html" grep -qx "$game.html" <<<"$listing"
done
finish
