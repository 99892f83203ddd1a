#!/usr/bin/env bash
# Installs what is missing, builds Ostrivane and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run
build_project "$OSTRIVANE_ROOT/build" -DOSTRIVANE_BUILD_TESTS=OFF -DOSTRIVANE_BUILD_BENCH=OFF -DOSTRIVANE_HANDOUT=OFF
exec "$OSTRIVANE_ROOT/build/ostrivane" "$@"
