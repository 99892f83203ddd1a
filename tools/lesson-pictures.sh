#!/usr/bin/env bash
# Regenerates the pictures of the lesson sheet (docs/lessons.md) from the real
# program. For each exercise of docs/lessons/exercises.txt it starts the
# program afresh on a private Xvfb, types the exercise's entries through real
# X input as the sheet tells a teacher to (click the green value, type the
# number, press Enter) and saves the window as
# docs/images/lessons/NAME.png.
#
#   bash tools/lesson-pictures.sh [--out DIR] [NAME...]
#
# Without --tool it installs what is missing and builds the program and the
# screenshot tool first (OSTRIVANE_BUILD_DIR chooses the build folder,
# default build-tests/). NAMEs limit it to those exercises. The docs tests
# run it with --tool, --program and --out into the build tree.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() {
    cat <<EOF
usage: bash tools/lesson-pictures.sh [--out DIR] [--tool PATH --program PATH] [NAME...]
  --out DIR        where to write NAME.png (default docs/images/lessons)
  --tool PATH      the ostrivane_screenshot tool to use, without building
  --program PATH   the ostrivane program to use, without building
  --list FILE      the exercise list (default docs/lessons/exercises.txt)
  NAME...          only these exercises
EOF
}

list=$OSTRIVANE_ROOT/docs/lessons/exercises.txt
default_out=$OSTRIVANE_ROOT/docs/images/lessons
out=$default_out
tool=
program=
while [ $# -gt 0 ]; do
    case $1 in
        --out|--tool|--program|--list)
            if [ $# -lt 2 ]; then
                usage >&2
                exit 2
            fi
            case $1 in
                --out) out=$2 ;;
                --tool) tool=$2 ;;
                --program) program=$2 ;;
                --list) list=$2 ;;
            esac
            shift 2
            ;;
        -h|--help) usage; exit 0 ;;
        -*) echo "lesson-pictures: unknown option $1" >&2; usage >&2; exit 2 ;;
        *) break ;;
    esac
done
wanted=("$@")

if [ -z "$tool" ] || [ -z "$program" ]; then
    if [ -n "$tool$program" ]; then
        echo "lesson-pictures: give both --tool and --program, or neither" >&2
        exit 2
    fi
    ensure_packages run test
    build_dir=${OSTRIVANE_BUILD_DIR:-$OSTRIVANE_ROOT/build-tests}
    cmake -S "$OSTRIVANE_ROOT" -B "$build_dir" -DOSTRIVANE_BUILD_TESTS=ON >/dev/null
    cmake --build "$build_dir" -j "$(nproc 2>/dev/null || echo 2)" --target ostrivane ostrivane_screenshot
    tool=$build_dir/tests/e2e/ostrivane_screenshot
    program=$build_dir/ostrivane
fi

# Reads the list into names[i] and entries[i] ("C,R=TEXT C,R=TEXT ...").
names=()
entries=()
line_number=0
while IFS= read -r line || [ -n "$line" ]; do
    line_number=$((line_number + 1))
    read -r name rest <<<"$line" || true
    case "$name" in ''|'#'*) continue ;; esac
    if ! [[ "$name" =~ ^[a-z0-9-]+$ ]] || [ -z "$rest" ]; then
        echo "lesson-pictures: $list:$line_number: expected a name and entries" >&2
        exit 1
    fi
    for entry in $rest; do
        if ! [[ "$entry" =~ ^[0-2],[01]=[^[:space:]]+$ ]]; then
            echo "lesson-pictures: $list:$line_number: \"$entry\" is not COLUMN,ROW=TEXT" >&2
            exit 1
        fi
    done
    names+=("$name")
    entries+=("$rest")
done < "$list"

for name in "${wanted[@]}"; do
    if ! printf '%s\n' "${names[@]}" | grep -qxF -- "$name"; then
        echo "lesson-pictures: no exercise named $name in $list" >&2
        exit 2
    fi
done

mkdir -p "$out"
for i in "${!names[@]}"; do
    name=${names[$i]}
    if [ ${#wanted[@]} -gt 0 ] && ! printf '%s\n' "${wanted[@]}" | grep -qxF -- "$name"; then
        continue
    fi
    # "set:C,R=TEXT" clicks the entry, waits for its box, types TEXT and
    # presses Enter, then waits until the value is stored.
    actions=()
    for entry in ${entries[$i]}; do
        actions+=("set:$entry")
    done
    if ! "$tool" --program "$program" "${actions[@]}" "save:$out/$name.png" >/dev/null; then
        echo "lesson-pictures: exercise $name failed" >&2
        exit 1
    fi
    echo "$out/$name.png"
done

# The sheet's own folder holds only the pictures of listed exercises.
if [ ${#wanted[@]} -eq 0 ] && [ "$out" = "$default_out" ]; then
    for picture in "$out"/*.png; do
        [ -e "$picture" ] || continue
        base=$(basename "$picture" .png)
        if ! printf '%s\n' "${names[@]}" | grep -qxF -- "$base"; then
            echo "lesson-pictures: removing $picture, no longer an exercise"
            rm -f "$picture"
        fi
    done
fi
