#!/usr/bin/env bash
# Installs what is missing, builds Ostrivane (the desktop preset's program,
# in build/desktop/) and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run
cd "$OSTRIVANE_ROOT"
log=$(cmake --preset desktop 2>&1) || { echo "$log" >&2; exit 1; }
cmake --build --preset desktop --target ostrivane -j "$(nproc 2>/dev/null || echo 2)"
exec "$OSTRIVANE_ROOT/build/desktop/ostrivane" "$@"
