#!/usr/bin/env bash
# Installs what is missing, builds Ostrivane with its tests and runs the whole
# suite, on a private Xvfb when no display is set. Extra arguments go to ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run test
build_project "$OSTRIVANE_ROOT/build-tests" -DOSTRIVANE_BUILD_TESTS=ON
cd "$OSTRIVANE_ROOT/build-tests"
with_display ctest --output-on-failure "$@"
