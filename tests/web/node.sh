#!/usr/bin/env bash
# Runs one of the page's node scripts (its tests in tests/web/, the
# measurement in bench/) with the npm packages of tests/web/package.json,
# which `--install` puts into OSTRIVANE_NODE_DIR (default build/node/) exactly
# as package-lock.json pins them; tools/test.sh does that before ctest, and
# running a script never installs.
#   tests/web/node.sh --install    tests/web/node.sh SCRIPT.mjs [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
node_dir=${OSTRIVANE_NODE_DIR:-$root/build/node}
if [ "${1:-}" = --install ]; then
    source "$root/tools/common.sh"
    npm_install "$root/tests/web" "$node_dir"
    exit
fi
if ! cmp -s "$root/tests/web/package-lock.json" "$node_dir/package-lock.json" || [ ! -d "$node_dir/node_modules" ]; then
    echo "The npm packages of tests/web/package.json are missing or older in $node_dir;" \
        "install them with: bash tests/web/node.sh --install" >&2
    exit 1
fi
# The page tests find the desktop program's own capture here.
export OSTRIVANE_SOURCE_DIR=$root
script=$1
shift
# The scripts run from the node folder, where node finds the packages, side
# by side as they import each other.
cp "$root"/tests/web/*.mjs "$root/tests/web/chromium-flags.txt" "$root/bench/measure.mjs" "$node_dir/"
exec node "$node_dir/$script" "$@"
