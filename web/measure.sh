#!/usr/bin/env bash
# Measures the built site: its size as copied and gzip'd, and the time from
# navigation to the first drawn frame in headless Chromium (software WebGL).
#   bash web/measure.sh [SITE_DIR] [RUNS]    (tools/web.sh --measure builds first)
# puppeteer-core is installed from npm into build-web/node/ on first use.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
site=${1:-$root/build-web/site}
runs=${2:-5}
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
        index.html|ostrivane.js|*.wasm) own=$((own + size)); own_gz=$((own_gz + gz)) ;;
    esac
done
printf '  %-14s %9d %9d\n' "all" "$total" "$total_gz"
printf '  %-14s %9d %9d  (page, script and WebAssembly; goal under 409600 as copied)\n' \
    "program" "$own" "$own_gz"

if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    echo "The load time needs node and npm (Debian: sudo apt-get install nodejs npm)." >&2
    exit 1
fi
node_dir=$root/build-web/node
if [ ! -d "$node_dir/node_modules/puppeteer-core" ]; then
    mkdir -p "$node_dir"
    echo "Installing puppeteer-core 23 from npm into $node_dir"
    (cd "$node_dir" && npm install --no-audit --no-fund --silent puppeteer-core@23 >/dev/null)
fi
cp "$root/web/measure.mjs" "$node_dir/measure.mjs"
node "$node_dir/measure.mjs" "file://$site/index.html" "$runs"
