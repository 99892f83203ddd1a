#!/usr/bin/env bash
# frame_allocations.sh BENCH [BENCHMARK_ARGS...]: runs the frame benchmark
# under valgrind's DHAT and counts the heap allocations made inside its timed
# frames (ostrivane_bench_frame), and the program's own among them: those
# whose first caller beyond the allocator and the inlined standard headers is
# code of this source tree (or of the benchmark itself, were it built without
# debug information). Prints both with each own allocation's stack, and fails
# when there is one. With SANITIZED=ON (the sanitizer build, whose allocator
# valgrind cannot follow) it only says so.
set -euo pipefail
bench=$1
shift
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${SANITIZED:-OFF}" = ON ]; then
    echo "the sanitizer build brings its own allocator: allocations are not counted"
    exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! valgrind --tool=dhat --num-callers=50 --fullpath-after= --dhat-out-file="$out/dhat.json" \
    --log-file="$out/valgrind.log" "$bench" --benchmark_out="$out/frames.json" "$@" >"$out/bench.out" 2>&1; then
    tail -n 20 "$out/bench.out" "$out/valgrind.log" >&2
    exit 1
fi
frames=$(jq '[.benchmarks[] | select(.run_type == "iteration") | .iterations] | add // 0' "$out/frames.json")
[ "$frames" -gt 0 ] || { echo "the benchmark drew no frames" >&2; exit 1; }
grep -qF "($src/" "$out/dhat.json" || { echo "DHAT names no source file of $src: no debug information?" >&2; exit 1; }
jq -r --arg src "($src/" --arg exe "(in $(readlink -f "$bench")" --argjson frames "$frames" '
    .ftbl as $names
    | [.pps[] | {blocks: .tbk, stack: [.fs[] | $names[.]]}
       | select(any(.stack[]; test(": ostrivane_bench_frame(\\.[\\w.]+)? \\(")))] as $inside
    | [$inside[] | select(.stack | map(select(test("vgpreload_dhat|\\(/usr/include/") | not)) | first // ""
                          | contains($src) or contains($exe))] as $own
    | "\($inside | map(.blocks) | add // 0) allocations in \($frames) frames, \($own | map(.blocks) | add // 0) of them the program'"'"'s own",
      ($own[] | "own allocation, \(.blocks)x:\n    " + (.stack | join("\n    ")))
' "$out/dhat.json" | tee "$out/report.txt"
! grep -q "^own allocation" "$out/report.txt"
