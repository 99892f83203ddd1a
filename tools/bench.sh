#!/usr/bin/env bash
# Installs what is missing, builds Ostrivane's frame benchmark (optimised,
# with debug information for callgrind) and runs it at 600x600 on a private
# Xvfb, i.e. on Mesa's software renderer, when no display is set. Extra
# arguments go to the benchmark (for example --rounds 80 or --no-callgrind);
# OSTRIVANE_BUILD_DIR chooses another build folder (default build-bench/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run bench
build_dir=${OSTRIVANE_BUILD_DIR:-$OSTRIVANE_ROOT/build-bench}
build_project "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTRIVANE_BUILD_BENCH=ON
with_display "$build_dir/bench/ostrivane_bench" "$@"
