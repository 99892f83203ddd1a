#!/usr/bin/env bash
# Builds the libFuzzer target for number entry with clang (the fuzz preset,
# in build/fuzz/) and fuzzes it in one process for SECONDS (default 60):
#   bash tools/fuzz.sh [SECONDS] [LIBFUZZER_OPTIONS...]
# The inputs it finds are kept in build/fuzz/corpus/ and used again by the
# next run; fuzz/corpus/ holds the hand-written seeds. An input that fails is
# saved in build/fuzz/ as crash-* and can be replayed with
#   build/fuzz/fuzz/entry_fuzzer build/fuzz/crash-...
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run ci
seconds=${1:-60}
[ $# -gt 0 ] && shift
build_dir=$OSTRIVANE_ROOT/build/fuzz
build_preset fuzz >/dev/null
mkdir -p "$build_dir/corpus"
log="$build_dir/fuzz.log"
echo "fuzzing number entry for $seconds s (log: $log)"
status=0
"$build_dir/fuzz/entry_fuzzer" -max_total_time="$seconds" -max_len=512 -dict="$OSTRIVANE_ROOT/fuzz/entry.dict" \
    -artifact_prefix="$build_dir/" -print_final_stats=1 "$@" \
    "$build_dir/corpus" "$OSTRIVANE_ROOT/fuzz/corpus" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "fuzz: failed; the input is saved in $build_dir/ as crash-*" >&2
    exit "$status"
fi
# The totals: a single process prints Done and its stat:: lines, -fork=N its
# last progress line.
grep -E '^Done |^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$log" ||
    grep -E '^#[0-9]+: cov' "$log" | tail -n 1 || true
echo "fuzz: no failure, corpus of $(ls "$build_dir/corpus" | wc -l) inputs"
