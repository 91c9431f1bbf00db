#!/usr/bin/env bash
# web/serve.sh [--play] [FOLDER] [PORT]: serves the web release (default
# build-web/site, built first when missing) on http://localhost:PORT/ (8000);
# with --play it also opens the index page in the local browser.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
play=0
if [ "${1:-}" = "--play" ]; then play=1; shift; fi
site=${1:-$root/build-web/site}
port=${2:-8000}
[ -f "$site/index.html" ] || "$root/web/build.sh" "$site"

url="http://localhost:$port/index.html"
echo "Serving $site at $url (Ctrl+C stops)" >&2
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" &
server=$!
trap 'kill "$server" 2>/dev/null' EXIT INT TERM
if [ "$play" -eq 1 ]; then
    sleep 1
    if command -v xdg-open >/dev/null && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        xdg-open "$url" >/dev/null 2>&1 || chromium "$url" >/dev/null 2>&1 &
    else
        echo "No desktop session here: open $url in a browser." >&2
    fi
fi
wait "$server"
