#!/usr/bin/env bash
# scripts/release.sh [OUT]: makes what a player downloads, into OUT (default
# release/): cubegame_VERSION_amd64.deb, cubegame-VERSION-win64.zip,
# cubegame-VERSION-web.zip (index.html at its root) and SHA256SUMS. The same
# commit gives the same bytes: every date is the last commit's. What is built
# on the way stays in CUBEGAME_RELEASE_WORK (default build-release/).
# CUBEGAME_RELEASE_WINDOWS (a scripts/windows.sh build folder) and
# CUBEGAME_RELEASE_WEB (a web/build.sh site) take those parts ready-made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/release}")
work=$(realpath -m "${CUBEGAME_RELEASE_WORK:-$root/build-release}")
version=$(sed -n 's/^project(cubegame VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
jobs=$(nproc)
mkdir -p "$work"
log=$work/log
: >"$log"

step_name=release
. "$root/scripts/steps.sh"

debian_package() {
    say "building the Debian package"
    quietly cmake -S "$root" -B "$work/native" -DCMAKE_BUILD_TYPE=Release
    quietly cmake --build "$work/native" -j"$jobs"
    rm -f "$work/native"/cubegame_*.deb
    (cd "$work/native" && quietly cpack -G DEB)
    cp "$work/native/cubegame_${version}_amd64.deb" "$out/"
}

windows_zip() {
    local build=${CUBEGAME_RELEASE_WINDOWS:-}
    if [ -z "$build" ]; then
        say "building the Windows zip"
        build=$work/windows
        CUBEGAME_WIN_BUILD=$build quietly "$root/scripts/windows.sh"
    fi
    [ -s "$build/cubegame-$version-win64.zip" ] || { say "no cubegame-$version-win64.zip in $build"; exit 1; }
    cp "$build/cubegame-$version-win64.zip" "$out/"
}

# The site's files at the zip's root, as game-hosting sites want them.
web_zip() {
    local site=${CUBEGAME_RELEASE_WEB:-}
    if [ -z "$site" ]; then
        say "building the web release"
        site=$work/web/site
        rm -rf "$site"
        CUBEGAME_WEB_WORK=$work/web quietly "$root/web/build.sh" "$site"
    fi
    [ -s "$site/index.html" ] || { say "no index.html in $site"; exit 1; }
    rm -rf "$work/web-stage"
    mkdir -p "$work/web-stage"
    cp -r "$site" "$work/web-stage/cubegame-$version-web"
    quietly zip_dated "$work/web-stage/cubegame-$version-web" . "$out/cubegame-$version-web.zip"
}

checksums() {
    (cd "$out" && sha256sum "cubegame_${version}_amd64.deb" "cubegame-$version-win64.zip" \
        "cubegame-$version-web.zip" >SHA256SUMS)
}

"$root/scripts/deps.sh" windows web
. "$root/scripts/zip_dated.sh"
rm -rf "$out"
mkdir -p "$out"
debian_package
windows_zip
web_zip
checksums
say "release $version in $out:"
cat "$out/SHA256SUMS"
