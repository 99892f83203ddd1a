#!/usr/bin/env bash
# Measures the built site: its size as copied and gzip'd, and in headless
# Chromium (software WebGL), beside plain WebGL pages, the time from
# navigation to the first drawn frame and the browser's CPU time per second,
# at rest and with an entry in progress (bench/measure.mjs).
#   bash bench/measure.sh [SITE_DIR] [LOADS]    (tools/web.sh --measure builds first)
# puppeteer-core comes from npm: bash tests/web/node.sh --install puts it into build/node/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
site=${1:-$root/build/web/site}
runs=${2:-7}
[ -f "$site/index.html" ] || { echo "No site in $site; build it with: bash tools/web.sh --build" >&2; exit 1; }
site=$(cd "$site" && pwd)

echo "Size of $site (bytes, as copied / gzip -9):"
total=0
total_gz=0
own=0
own_gz=0
for file in "$site"/*; do
    [ -f "$file" ] || continue
    size=$(stat -c %s "$file")
    gz=$(gzip -9 -c "$file" | wc -c)
    printf '  %-14s %9d %9d\n' "$(basename "$file")" "$size" "$gz"
    total=$((total + size))
    total_gz=$((total_gz + gz))
    case "$(basename "$file")" in
        index.html|ostrivane.js|sw.js|manifest.webmanifest) own=$((own + size)); own_gz=$((own_gz + gz)) ;;
    esac
done
printf '  %-14s %9d %9d\n' "all" "$total" "$total_gz"
printf '  %-14s %9d %9d  (page, script with the WebAssembly, service worker, manifest; goal under 256000 as copied)\n' \
    "program" "$own" "$own_gz"

exec bash "$root/tests/web/node.sh" measure.mjs "$site" "$runs"
