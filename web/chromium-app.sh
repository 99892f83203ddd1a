#!/usr/bin/env bash
# Opens URL (default: the built site's index.html) in Debian's Chromium in app
# mode: a window of its own titled by the page, 600x600, with software WebGL
# (SwiftShader), on $DISPLAY. A fresh profile in a temporary folder is used
# and removed afterwards. Extra arguments go to Chromium.
#   web/chromium-app.sh [URL] [CHROMIUM-ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
url=${1:-file://$root/build-web/site/index.html}
[ $# -gt 0 ] && shift
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "Chromium was not found; install it with: sudo apt-get install chromium" >&2
    exit 1
fi
profile=$(mktemp -d "${TMPDIR:-/tmp}/ostrivane-chromium.XXXXXX")
sandbox=()
[ "$(id -u)" -eq 0 ] && sandbox=(--no-sandbox)
"$browser" \
    --app="$url" \
    --window-size=600,600 \
    --window-position=10,10 \
    --use-gl=angle --use-angle=swiftshader --enable-unsafe-swiftshader \
    --test-type \
    "${sandbox[@]}" \
    --user-data-dir="$profile" \
    --no-first-run --no-default-browser-check \
    --disable-background-networking --disable-component-update --disable-sync \
    --disable-quic --disable-default-apps --disable-extensions \
    --disable-features=Translate,MediaRouter \
    --password-store=basic \
    "$@" &
pid=$!
# Stopping this script stops the browser and removes its profile.
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$profile"; exit 143' TERM INT HUP
status=0
wait "$pid" || status=$?
rm -rf "$profile"
exit "$status"
