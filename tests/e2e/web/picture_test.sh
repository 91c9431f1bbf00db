#!/usr/bin/env bash
# The native-against-browser picture comparison, with a private X server for
# the native probe. Usage: picture_test.sh NATIVE_PROBE MAKEIMAGES WEB_PROBE_FOLDER
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../../scripts/xvfb.sh"
xvfb_start 1280 1024 || exit 1
trap xvfb_stop EXIT
python3 "$here/picture_test.py" "$@"
