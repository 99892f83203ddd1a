#!/usr/bin/env bash
# Regenerates the pictures of the lesson sheet (docs/lessons.md) and the
# README's (docs/images/window.png) from the real program: the docs tests
# type each exercise of docs/lessons/exercises.txt into the program through
# real X input, as the sheet tells a teacher to (click the green value, type
# the number, press Enter), and keep what the window shows; this copies those
# pictures over the committed ones.
#
#   bash docs/lessons/pictures.sh [NAME...]
#
# NAMEs limit it to those exercises ("window" is the README's picture). It
# installs what is missing and builds the docs tests of the desktop preset
# (build/desktop/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/common.sh"
ensure_packages run test
build_dir=$OSTRIVANE_ROOT/build/desktop
# Only the docs tests: the rest of the build (the handouts among it) needs
# the pictures that this makes, when an exercise is new.
(cd "$OSTRIVANE_ROOT" && cmake --preset desktop >/dev/null)
cmake --build "$build_dir" --target docs_tests -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

# The test names an exercise with '_' where its name has '-'.
filter=
for name in "$@"; do
    if [ "$name" = window ]; then
        filter+="${filter:+:}ReadmePicture.*"
    else
        filter+="${filter:+:}Lessons/LessonPicture.IsWhatTheProgramDraws/${name//-/_}"
    fi
done
fresh=$build_dir/tests/docs/pictures
rm -rf "$fresh"
# A picture that differs from the committed one fails its test: expected here.
with_display "$build_dir/tests/docs/docs_tests" \
    --gtest_filter="${filter:-Lessons/LessonPicture.IsWhatTheProgramDraws/*:ReadmePicture.*}" >/dev/null || true
shopt -s nullglob
pictures=("$fresh"/*.png)
if [ ${#pictures[@]} -eq 0 ] || { [ $# -gt 0 ] && [ ${#pictures[@]} -ne $# ]; }; then
    fail "the program did not give a picture for every one asked for"
fi
lessons=$OSTRIVANE_ROOT/docs/images/lessons
if [ $# -eq 0 ]; then
    # The sheet's folder holds only the pictures of listed exercises.
    rm -f "$lessons"/*.png
fi
for picture in "${pictures[@]}"; do
    folder=$lessons
    [ "$(basename "$picture")" = window.png ] && folder=$OSTRIVANE_ROOT/docs/images
    cp "$picture" "$folder/"
    echo "$folder/$(basename "$picture")"
done
