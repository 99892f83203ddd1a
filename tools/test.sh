#!/usr/bin/env bash
# Installs what is missing, builds Ostrivane with its tests and runs the whole
# suite, on a private Xvfb when no display is set. Extra arguments go to ctest;
# OSTRIVANE_BUILD_DIR chooses another build folder (default build-tests/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run test
build_dir=${OSTRIVANE_BUILD_DIR:-$OSTRIVANE_ROOT/build-tests}
build_project "$build_dir" -DOSTRIVANE_BUILD_TESTS=ON
cd "$build_dir"
with_display ctest --output-on-failure "$@"
