#!/usr/bin/env bash
# bench/soak.sh BUILD_DIR [MINUTES] [SEED]: runs BUILD_DIR/bench/soak (built
# with -DCUBEGAME_BENCH=ON) in a scratch folder holding the game's images,
# under a private Xvfb. The table goes to standard output, the game's own
# lines to soak-stderr.log in the scratch folder (kept when the soak fails);
# the status is the soak's.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: bench/soak.sh BUILD_DIR [MINUTES] [SEED]}" && pwd) || exit 2
run=$(mktemp -d /tmp/cubegame-soak-XXXXXX)
"$build/makeimages" "$run" >/dev/null 2>&1 || { echo "soak: makeimages failed" >&2; exit 2; }
. "$root/scripts/xvfb.sh"
xvfb_start 320 240 || exit 2
(cd "$run" && exec env SDL_VIDEODRIVER=x11 "$build/bench/soak" "${@:2}" 2>"$run/soak-stderr.log") &
soak=$!
# Ctrl-C or a TERM to this script cuts the soak short; it still prints its table.
trap 'kill -TERM "$soak" 2>/dev/null' INT TERM
status=0
while :; do
    wait "$soak" && status=0 || status=$?
    kill -0 "$soak" 2>/dev/null || break
done
xvfb_stop
if [ "$status" -eq 0 ]; then rm -rf "$run"; else echo "soak: status $status, game log in $run/soak-stderr.log" >&2; fi
exit "$status"
