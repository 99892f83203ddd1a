#!/usr/bin/env bash
# Builds Ostrivane and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (any finding ends the program with an error),
# the sanitizer preset in build/sanitizer/, and runs the suite there, the stress test with a million events unless
# OSTRIVANE_STRESS_EVENTS says otherwise. The Windows and browser builds are
# not built with the sanitizers, so their tests are left out here. Extra
# arguments go to ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run test
build_preset sanitizer
cd "$OSTRIVANE_ROOT/build/sanitizer"
export OSTRIVANE_STRESS_EVENTS=${OSTRIVANE_STRESS_EVENTS:-1000000}
with_display ctest --output-on-failure --parallel "$(nproc 2>/dev/null || echo 2)" -LE "windows|web|screen-reader" "$@"
