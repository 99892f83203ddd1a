#!/usr/bin/env bash
# Installs what is missing, builds Ostrivane's frame benchmark (optimised,
# with debug information for callgrind) in build/bench/ and runs it at
# 600x600 on a private Xvfb, i.e. on Mesa's software renderer, when no display
# is set: time per frame from Google Benchmark, each frame's time against the
# floor of a bare clear and swap, the program's own share of the instructions
# of the idle and editing frames from callgrind, and their heap allocations
# from valgrind's DHAT (bench/frame_allocations.sh), all and the program's own.
# Extra arguments go to the timed run (Google Benchmark's --benchmark_*
# options, e.g. --benchmark_repetitions=30).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
ensure_packages run bench
build_dir=$OSTRIVANE_ROOT/build/bench
cmake -S "$OSTRIVANE_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTRIVANE_BUILD_BENCH=ON \
    -DOSTRIVANE_BUILD_TESTS=OFF -DOSTRIVANE_HANDOUT=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc 2>/dev/null || echo 2)"
bench=$build_dir/bench/ostrivane_bench
[ -x "$bench" ] || fail "the benchmark was not built: Google Benchmark is missing (sudo apt-get install libbenchmark-dev)"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "== Time per frame"
with_display "$bench" --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
    --benchmark_display_aggregates_only=true \
    --benchmark_out="$out/times.json" --benchmark_out_format=json "$@"

echo
echo "== Each frame against the floor (medians over the repetitions, real time)"
jq -r '
    [.benchmarks[] | select(.aggregate_name == "median")] as $medians
    | (if ($medians | length) > 0 then $medians
       else [.benchmarks[] | select(.run_type == "iteration")] end) as $runs
    | ([$runs[] | select(.run_name | test("/floor/"))] | first | .real_time) as $floor
    | ($runs | sort_by(.family_index))[]
    | "  \(.run_name | split("/")[1] | . + "          " | .[0:10]) "
      + "\(.real_time | floor) \(.time_unit)  "
      + (if $floor then "x \(.real_time / $floor * 1000 | round / 1000)" else "(no floor measured)" end)
' "$out/times.json"

echo
echo "== The program's own instructions (callgrind, 20 frames each, llvmpipe on the drawing thread)"
# Only the frames are counted (--toggle-collect), and LP_NUM_THREADS=0 keeps
# llvmpipe's rasterising inside them. The program's own functions are those
# whose source is in src/; their instructions are their own (callees
# excluded), the C library's and OpenGL's work on their behalf is not.
for frame in idle editing; do
    if ! LP_NUM_THREADS=0 with_display valgrind --tool=callgrind --collect-atstart=no \
        --toggle-collect='ostrivane_bench_frame*' --callgrind-out-file="$out/$frame.callgrind" \
        --log-file="$out/$frame.valgrind.log" \
        "$bench" --benchmark_filter="^frame/$frame/" --benchmark_min_time=0 --benchmark_repetitions=20 \
        --benchmark_out="$out/$frame.json" --benchmark_out_format=json >"$out/$frame.out" 2>&1; then
        echo "The run under callgrind failed:" >&2
        tail -n 20 "$out/$frame.out" "$out/$frame.valgrind.log" >&2
        exit 1
    fi
    frames=$(jq '[.benchmarks[] | select(.run_type == "iteration") | .iterations] | add' "$out/$frame.json")
    # Run from the temporary folder, so that the file names stay absolute.
    (cd "$out" && callgrind_annotate --threshold=100 --auto=no "$frame.callgrind") >"$out/$frame.txt"
    awk -v src="$OSTRIVANE_ROOT/src/" -v frames="$frames" -v name="$frame" '
        function count(text) { gsub(",", "", text); return text + 0 }
        / PROGRAM TOTALS$/ { total = count($1) }
        {
            where = $0
            if (!sub(/^ *[0-9,]+ +\( *[0-9.]+%\) +/, "", where) || index(where, src) != 1) next
            own += count($1)
            sub(/ \[.*$/, "", where)
            functions = functions sprintf("\n      %9.0f  %s", count($1) / frames, substr(where, length(src) + 1))
        }
        END {
            printf "  %-8s %.0f instructions per frame, %.0f of them the program'"'"'s own: %.3f%%%s\n",
                name, total / frames, own / frames, (total > 0 ? 100 * own / total : 0), functions
        }' "$out/$frame.txt"
done

echo
echo "== Heap allocations (DHAT, 20 frames each)"
for frame in idle editing; do
    echo "  $frame: $(with_display bash "$OSTRIVANE_ROOT/bench/frame_allocations.sh" "$bench" \
        --benchmark_filter="^frame/$frame/" --benchmark_min_time=0 --benchmark_repetitions=20 | head -n 1)"
done
