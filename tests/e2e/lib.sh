# Sourced by the end-to-end tests: runs the real game binaries under a
# private Xvfb, drives them with xdotool and checks what they print.
# CUBEGAME_BIN is the build folder holding the games and makeimages.
# CUBEGAME_SDL12_COMPAT, when set, is the folder of sdl12-compat's
# libSDL-1.2.so.0: the games then run on it instead of the classic library.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/xvfb.sh"

RUN_DIR=$(mktemp -d /tmp/cubegame-e2e-XXXXXX)
GAME_PID=""
FAILURES=0

cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
    xvfb_stop
    [ "$FAILURES" -eq 0 ] && rm -rf "$RUN_DIR"
    return 0
}
trap cleanup EXIT

# What every game runs with. The loader logs the libraries each game loads
# (RUN_DIR/loader.PID), so the test can tell which SDL 1.2 it really got.
GAME_ENV=(SDL_VIDEODRIVER=x11 LD_DEBUG=libs "LD_DEBUG_OUTPUT=$RUN_DIR/loader")
[ -n "${CUBEGAME_SDL12_COMPAT:-}" ] &&
    GAME_ENV+=("LD_LIBRARY_PATH=$CUBEGAME_SDL12_COMPAT${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}")

fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}

check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

make_images() {
    "$CUBEGAME_BIN/makeimages" "$RUN_DIR" >/dev/null 2>&1 || { fail "makeimages"; exit 1; }
}

# The builds as config/presets.cmake lists them: BUILD_SCREENS holds
# "NAME WIDTH HEIGHT" for each, BUILDS the names. None read is a failure,
# not a loop that checks nothing.
mapfile -t BUILD_SCREENS < <(cmake -DCUBEGAME_SCREENS=ON -P "$here/../../config/names.cmake")
[ ${#BUILD_SCREENS[@]} -gt 0 ] || { fail "no builds read from config/presets.cmake"; exit 1; }
BUILDS=("${BUILD_SCREENS[@]%% *}")

# start_game BUILD: starts it in RUN_DIR, output in RUN_DIR/stdout and stderr.
start_game() {
    start_in "$RUN_DIR" env "${GAME_ENV[@]}" "$CUBEGAME_BIN/$1"
}

# start_in FOLDER COMMAND...: starts a game in FOLDER, output in RUN_DIR/stdout
# and stderr. They are emptied first: the background start may open them
# only after the caller has begun to read an earlier game's lines there.
start_in() {
    local dir=$1
    shift
    : >"$RUN_DIR/stdout"
    : >"$RUN_DIR/stderr"
    (cd "$dir" && exec "$@" >"$RUN_DIR/stdout" 2>"$RUN_DIR/stderr") &
    GAME_PID=$!
}

# check_sdl_library LOADER_LOG...: on an sdl12-compat run, the game must have
# loaded that library, and SDL 2 under it, rather than the classic one.
check_sdl_library() {
    [ -n "${CUBEGAME_SDL12_COMPAT:-}" ] || return 0
    local sdl sdl2
    sdl=$(sed -n 's/.*calling init: \(.*libSDL-1\.2\.so.*\)/\1/p' "$@" 2>/dev/null | head -n 1)
    sdl2=$(sed -n 's/.*calling init: \(.*libSDL2-2\.0\.so.*\)/\1/p' "$@" 2>/dev/null | head -n 1)
    check "SDL 1.2 loaded from sdl12-compat (${sdl:-none})" \
        [ -n "$sdl" -a "$(readlink -f "$(dirname "$sdl")")" = "$(readlink -f "$CUBEGAME_SDL12_COMPAT")" ]
    check "SDL 2 loaded under it (${sdl2:-none})" [ -n "$sdl2" ]
}

# wait_for_frames [SECONDS]: holds `i` until the read-out shows the frame loop runs.
wait_for_frames() {
    local limit=${1:-300} waited=0
    while ! grep -q "Frame Rate:" "$RUN_DIR/stderr" 2>/dev/null; do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then fail "game ended before its frame loop"; return 1; fi
        if [ "$waited" -ge "$limit" ]; then fail "no frame within $limit s"; return 1; fi
        hold i 1 2>/dev/null
        waited=$((waited + 1))
    done
    echo "ok: frame loop running after ${waited}s"
    check_sdl_library "$RUN_DIR/loader.$GAME_PID"
}

# hold KEY SECONDS
hold() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# cube_position: the cube's position in the last read-out, as "x y z"
# (each read-out prints the cube's position, then the camera's).
cube_position() {
    grep -P "^\tPosition: \(" "$RUN_DIR/stderr" | tail -n 2 | head -n 1 | sed 's/.*(\(.*\))/\1/; s/,/ /g'
}

# cube_velocity: the cube's velocity in the last read-out, as "x y z".
cube_velocity() {
    grep -P "^\tVelocity: \(" "$RUN_DIR/stderr" | tail -n 1 | sed 's/.*(\(.*\))/\1/; s/,/ /g'
}

# wait_for_landing [SECONDS]: holds `i` until the cube, dropped from 2000 up
# at the start, rests low on the ground. A slow machine plays in slow motion,
# so the fall takes longer there.
wait_for_landing() {
    local limit=${1:-180} waited=0 x y z
    while [ "$waited" -lt "$limit" ]; do
        hold i 1 2>/dev/null
        waited=$((waited + 1))
        read -r x y z <<<"$(cube_position)"
        local vy
        read -r _ vy _ <<<"$(cube_velocity)"
        if [ -n "${y:-}" ] && [ "$y" -lt 1000 ] && [ "${vy#-}" -lt 50 ]; then
            echo "ok: the cube landed after ${waited}s"
            return 0
        fi
    done
    fail "the cube did not land within $limit s"
    return 1
}

screenshot() {  # screenshot FILE
    import -window root "$1"
}

# colours FILE: number of distinct colours in a picture.
colours() {
    convert "$1" -format %k info:
}

# quit_game: one quick tap of Escape, as a player gives it, however slow the
# frames; then the game must end by itself with status 0.
quit_game() {
    local status=0 waited=0
    xdotool key Escape
    while kill -0 "$GAME_PID" 2>/dev/null && [ "$waited" -lt 600 ]; do
        sleep 0.2
        waited=$((waited + 1))
    done
    if kill -0 "$GAME_PID" 2>/dev/null; then
        fail "a tap of Escape did not end the game"
        kill -9 "$GAME_PID" 2>/dev/null
    fi
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    check "exit status 0 (got $status)" [ "$status" -eq 0 ]
    check "no sanitizer report, leaks included" no_sanitizer_report "$RUN_DIR/stderr"
}

# no_sanitizer_report FILE: AddressSanitizer, LeakSanitizer and the
# undefined-behaviour checks all print through one of these lines.
no_sanitizer_report() {
    ! grep -qE "^(==[0-9]+==ERROR: |SUMMARY: [A-Za-z]+Sanitizer)|runtime error: " "$1"
}

# The shut-down block, in order, at the end of standard error.
QUIT_BLOCK=$'Quitting\n   ...Freeing People...\n   ...Freeing Tanks...\n   ...Freeing Shots...\n   ...Freeing Terrain...\n'

shutdown_lines_in_order() {  # FILE
    local text
    text=$(cat "$1")
    local rest=${text#*Quitting}
    [ "$rest" != "$text" ] || return 1
    for line in "   ...Freeing People..." "   ...Freeing Tanks..." "   ...Freeing Shots..." "   ...Freeing Terrain..." "   ...done"; do
        case "$rest" in
            *"$line"*) rest=${rest#*"$line"} ;;
            *) return 1 ;;
        esac
    done
}

finish() {
    if [ "$FAILURES" -ne 0 ]; then
        echo "--- stdout"; tail -n 20 "$RUN_DIR/stdout" 2>/dev/null
        echo "--- stderr"; tail -n 40 "$RUN_DIR/stderr" 2>/dev/null
        echo "(files kept in $RUN_DIR)"
        exit 1
    fi
    exit 0
}

# mean_colour FILE X Y W H: the region's mean colour as "r g b" (0-255).
mean_colour() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -resize 1x1\! -depth 8 txt:- |
        tail -n 1 | sed 's/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/' | awk '{printf "%d %d %d\n", $1, $2, $3}'
}

# count_colour FILE R G B FUZZ%: pixels within FUZZ of the colour.
count_colour() {
    convert "$1" -fuzz "$5%" -fill white -opaque "rgb($2,$3,$4)" -fill black +opaque white \
        -format "%[fx:int(mean*w*h+0.5)]" info:
}

# cube_face_pixels FILE: pixels of the cube's golden faces (red over green,
# green well over blue), lit or in shade.
cube_face_pixels() {
    convert "$1" -fx "(r>0.2 && r>1.15*g && g>1.6*b) ? 1 : 0" -format "%[fx:int(mean*w*h+0.5)]" info:
}

# distance A B: ground-plane distance between two "x y z" triples.
distance() {
    awk -v a="$1" -v b="$2" 'BEGIN { split(a, p, " "); split(b, q, " "); printf "%d\n", sqrt((p[1]-q[1])^2 + (p[3]-q[3])^2) }'
}
