#!/usr/bin/env bash
# Static analysis of src/: clang-tidy (its rules are in .clang-tidy) and
# cppcheck, both reading the compile commands of a build configured in
# build/lint/. Any finding fails the command.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run ci
build_dir=$OSTRIVANE_ROOT/build/lint
cmake -S "$OSTRIVANE_ROOT" -B "$build_dir" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DOSTRIVANE_BUILD_TESTS=OFF -DOSTRIVANE_BUILD_BENCH=OFF -DOSTRIVANE_HANDOUT=OFF >/dev/null
cd "$OSTRIVANE_ROOT"
sources=(src/*.cpp)

echo "clang-tidy: ${sources[*]}"
# Its count of the warnings it found in system headers and did not show is
# left out.
clang-tidy -p "$build_dir" --quiet "${sources[@]}" 2>&1 | { grep -v ' warnings\? generated\.$' || true; }

echo "cppcheck: src/"
cppcheck --project="$build_dir/compile_commands.json" --file-filter="$OSTRIVANE_ROOT/src/*" --std=c++17 \
    --library=opengl --enable=warning,style,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --error-exitcode=1 --quiet

echo "lint: no findings in src/"
