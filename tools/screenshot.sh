#!/usr/bin/env bash
# Regenerates the README's picture, docs/images/window.png, from the real
# program: builds it, starts it on a private Xvfb, clicks the top-middle
# entry, types 1 and Enter through real X input, and saves the window.
# OSTRIVANE_BUILD_DIR chooses the build folder (default build-tests/).
# Extra arguments replace those actions (see the tool's --help), for
# example: bash tools/screenshot.sh set:0,0=2 save:/tmp/scaled.png
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run test
build_dir=${OSTRIVANE_BUILD_DIR:-$OSTRIVANE_ROOT/build-tests}
cmake -S "$OSTRIVANE_ROOT" -B "$build_dir" -DOSTRIVANE_BUILD_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc 2>/dev/null || echo 2)" --target ostrivane ostrivane_screenshot
if [ $# -eq 0 ]; then
    set -- set:1,0=1 "save:$OSTRIVANE_ROOT/docs/images/window.png"
fi
"$build_dir/tests/e2e/ostrivane_screenshot" "$@"
