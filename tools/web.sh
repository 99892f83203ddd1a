#!/usr/bin/env bash
# The browser build. Installs what is missing, builds the site into
# build-web/site/ (index.html, the program, the app's manifest, icons and
# service worker, LICENSE, THIRD-PARTY-NOTICES.txt and the two handouts) and
# serves it on 127.0.0.1, printing the address.
#   bash tools/web.sh            build, then serve (Ctrl+C stops)
#   bash tools/web.sh --build    build only
#   bash tools/web.sh --measure  build, then measure size, first frame and CPU per second
# OSTRIVANE_WEB_PORT chooses the port (default 8000).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$OSTRIVANE_ROOT
build_dir=$root/build-web
site=$build_dir/site

mode=serve
case "${1:-}" in
    '') ;;
    --build) mode=build ;;
    --measure) mode=measure ;;
    -h|--help) sed -n '2,8p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "tools/web.sh: unknown option $1 (use --build, --measure or nothing)" >&2; exit 2 ;;
esac

# Debian packages of the browser build.
kinds=(web)
[ "$mode" = measure ] && kinds+=(web-measure)
ensure_packages "${kinds[@]}"

export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

if ! configured=$(emcmake cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release 2>&1); then
    echo "$configured" >&2
    exit 1
fi
cmake --build "$build_dir" -j 2

add_notices_and_handout "$site" "$build_dir/handout" web
echo "The site is in $site (open index.html, or copy the folder to any web server)."

case "$mode" in
    build) exit 0 ;;
    measure) exec bash "$root/bench/measure.sh" "$site" ;;
esac

port=${OSTRIVANE_WEB_PORT:-8000}
echo "Serving Ostrivane at http://127.0.0.1:$port/ (Ctrl+C stops)"
cd "$site"
exec python3 -m http.server "$port" --bind 127.0.0.1
