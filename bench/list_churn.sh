#!/usr/bin/env bash
# bench/list_churn.sh BUILD_DIR: runs BUILD_DIR/bench/list_churn (built with
# -DCUBEGAME_BENCH=ON) under a private Xvfb.
set -euo pipefail
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../scripts/xvfb.sh"
xvfb_start 320 240
trap xvfb_stop EXIT
"$build/bench/list_churn"
