#!/usr/bin/env bash
# The web pages' end-to-end test, with a private X server for the native
# games whose lines the pages must print alike.
# Usage: pages_test.sh SITE_FOLDER NATIVE_BUILD_FOLDER [BUILD...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../../scripts/xvfb.sh"
xvfb_start 1280 1024 || exit 1
trap xvfb_stop EXIT
python3 "$here/pages_test.py" "$@"
