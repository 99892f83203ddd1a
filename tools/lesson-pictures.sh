#!/usr/bin/env bash
# Regenerates the pictures of the lesson sheet (docs/lessons.md) from the real
# program: the docs tests type each exercise of docs/lessons/exercises.txt
# into the program through real X input, as the sheet tells a teacher to
# (click the green value, type the number, press Enter), and keep what the
# window shows; this copies those pictures to docs/images/lessons/NAME.png.
#
#   bash tools/lesson-pictures.sh [NAME...]
#
# NAMEs limit it to those exercises. It installs what is missing and builds
# in build-tests/ (OSTRIVANE_BUILD_DIR chooses another folder).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages run test
build_dir=${OSTRIVANE_BUILD_DIR:-$OSTRIVANE_ROOT/build-tests}
cmake -S "$OSTRIVANE_ROOT" -B "$build_dir" -DOSTRIVANE_BUILD_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc 2>/dev/null || echo 2)" --target docs_tests

# The test names an exercise with '_' where its name has '-'.
filter=
for name in "$@"; do
    filter+="${filter:+:}Lessons/LessonPicture.IsWhatTheProgramDraws/${name//-/_}"
done
fresh=$build_dir/tests/docs/pictures
rm -rf "$fresh"
# A picture that differs from the sheet's fails its test; that is expected here.
with_display "$build_dir/tests/docs/docs_tests" \
    --gtest_filter="${filter:-Lessons/LessonPicture.IsWhatTheProgramDraws/*}" >/dev/null || true
shopt -s nullglob
pictures=("$fresh"/*.png)
if [ ${#pictures[@]} -eq 0 ] || { [ $# -gt 0 ] && [ ${#pictures[@]} -ne $# ]; }; then
    echo "lesson-pictures: the program did not give a picture for every exercise asked for" >&2
    exit 1
fi
out=$OSTRIVANE_ROOT/docs/images/lessons
if [ $# -eq 0 ]; then
    # The sheet's folder holds only the pictures of listed exercises.
    rm -f "$out"/*.png
fi
cp "${pictures[@]}" "$out/"
printf '%s\n' "${pictures[@]/#$fresh/$out}"
