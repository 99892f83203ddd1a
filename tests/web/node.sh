#!/usr/bin/env bash
# Runs one of the page's node scripts (its tests in tests/web/, the
# measurement in bench/) with the npm packages of tests/web/package.json, which it installs into
# build-web/node/ when they are missing or tests/web/package.json has changed.
#   tests/web/node.sh SCRIPT.mjs [ARGS...]    web/node.sh --install
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
node_dir=$root/build-web/node
# A nodejs package may bring npm itself; Debian's comes without it.
if ! command -v npm >/dev/null 2>&1; then
    source "$root/tools/common.sh"
    ensure_packages npm
fi
mkdir -p "$node_dir"
if ! cmp -s "$root/tests/web/package.json" "$node_dir/package.json" || [ ! -d "$node_dir/node_modules" ]; then
    echo "Installing the npm packages of tests/web/package.json into $node_dir" >&2
    cp "$root/tests/web/package.json" "$node_dir/package.json"
    (cd "$node_dir" && npm install --no-audit --no-fund --no-package-lock --silent >/dev/null)
fi
[ "${1:-}" = --install ] && exit 0
# The page test that makes a newer build of the site finds the sources here.
export OSTRIVANE_SOURCE_DIR=$root
script=$1
shift
# The scripts run from build-web/node/, where node finds the packages, side
# by side as they import each other.
cp "$root"/tests/web/*.mjs "$root/tests/web/chromium-flags.txt" "$root/bench/measure.mjs" "$node_dir/"
exec node "$node_dir/$script" "$@"
