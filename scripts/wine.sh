# Sourced: a private Wine prefix for running the Windows build here.
#   wine_prefix DIR    creates it once (about 10 s) and exports WINEPREFIX
# Wine's own notes (fixme, err) are left out; Mono and Gecko are not wanted,
# and asking for them would stop a headless start at a dialog.
wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -e "$WINEPREFIX/.ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        env -u DISPLAY wineboot --init >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.ready"
    fi
}
