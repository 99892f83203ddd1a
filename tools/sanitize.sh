#!/usr/bin/env bash
# Builds Ostrivane and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (any finding ends the program with an error) in
# build-asan/ (OSTRIVANE_ASAN_BUILD_DIR chooses another folder) and runs the
# whole suite there, the stress test with a million events unless
# OSTRIVANE_STRESS_EVENTS says otherwise. The Windows and browser builds are
# not built with the sanitizers, so their tests are left out here. Extra
# arguments go to ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run test
build_dir=${OSTRIVANE_ASAN_BUILD_DIR:-$OSTRIVANE_ROOT/build-asan}
build_project "$build_dir" -DOSTRIVANE_SANITIZE=ON -DOSTRIVANE_BUILD_TESTS=ON
cd "$build_dir"
export OSTRIVANE_STRESS_EVENTS=${OSTRIVANE_STRESS_EVENTS:-1000000}
with_display ctest --output-on-failure --parallel "$(nproc 2>/dev/null || echo 2)" -LE "windows|web" "$@"
