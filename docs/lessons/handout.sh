#!/usr/bin/env bash
# Makes the printable handouts of the lesson sheet, docs/lessons.md, both
# A4 PDFs, tagged (PDF/UA-1) with their language and title: the teacher's
# copy, with the answers, the plans and the answer key, and the students'
# worksheet, without them, with frames to sketch in, key-point tables and
# lines to work on. docs/lessons/handout.lua chooses what each holds and
# draws the frames; docs/lessons/handout.css lays out the page.
#
#   bash docs/lessons/handout.sh [--out FILE] [--worksheet FILE] [--work DIR] [--no-install | --check]
#
# The teacher's pictures are print versions of the sheet's screenshots
# (white paper, the figure, axes, ticks and matrix in dark colours that stay
# apart in greyscale, every pixel where it was, the axes and ticks widened),
# made from
# docs/images/lessons/*.png by mapping the program's few exact colours with
# ImageMagick, into WORK/images/lessons/; the worksheet's frames go to
# WORK/frames/. pandoc turns the sheet into HTML (WORK/teacher.html,
# WORK/worksheet.html) and docs/lessons/tagged_pdf.py lays it out with
# WeasyPrint, tagged for screen readers.
# Missing Debian packages (the "handout" kind of tools/packages.txt) are
# installed first unless --no-install is given (the package build uses it
# after --check has found everything).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../tools/common.sh"
root=$OSTRIVANE_ROOT
sheet=$root/docs/lessons.md
pictures=$root/docs/images/lessons

usage() {
    cat <<EOF
usage: bash docs/lessons/handout.sh [--out FILE] [--worksheet FILE] [--work DIR] [--no-install | --check]
  --out FILE        the teacher's copy, with the answers
                    (default build/handout/lessons.pdf)
  --worksheet FILE  the students' worksheet, without them
                    (default: worksheet.pdf in the folder of the teacher's copy)
  --work DIR        where the print pictures and the frames go
                    (default: the folder of the teacher's copy)
  --no-install      fail instead of installing missing Debian packages
  --check           only say whether everything it needs is installed: exit 0,
                    or name the missing Debian packages and exit 1
EOF
}

out=$root/build/handout/lessons.pdf
worksheet=
work=
install=yes
check=no
while [ $# -gt 0 ]; do
    case $1 in
        --out|--worksheet|--work)
            [ $# -ge 2 ] || { usage >&2; exit 2; }
            case $1 in
                --out) out=$2 ;;
                --worksheet) worksheet=$2 ;;
                --work) work=$2 ;;
            esac
            shift 2
            ;;
        --no-install) install=no; shift ;;
        --check) check=yes; shift ;;
        -h|--help) usage; exit 0 ;;
        *) echo "handout: unknown argument $1" >&2; usage >&2; exit 2 ;;
    esac
done
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
out=$(absolute "$out")
worksheet=$(absolute "${worksheet:-$(dirname "$out")/worksheet.pdf}")
work=$(absolute "${work:-$(dirname "$out")}")

# pandoc, weasyprint, ImageMagick, and the DejaVu fonts for the sheet's
# mathematics (−, ′, ·, √, θ).
mapfile -t missing < <(missing_packages handout)
if [ "$check" = yes ]; then
    [ ${#missing[@]} -eq 0 ] || { echo "${missing[*]}"; exit 1; }
    exit 0
fi
if [ ${#missing[@]} -gt 0 ]; then
    [ "$install" = yes ] ||
        fail "missing Debian packages: ${missing[*]} (sudo apt-get install ${missing[*]})"
    ensure_packages handout || fail "could not install ${missing[*]}"
fi

[ -f "$sheet" ] || fail "no lesson sheet at $sheet"
mkdir -p "$work/images/lessons" || fail "cannot create $work"

# The figure's strokes and the window's colours, from the program's own
# drawFigure() and named colours: the build makes ostrivane_figure_strokes and
# OSTRIVANE_FIGURE_STROKES names it; without it the same sources are compiled
# here.
strokes_tool=${OSTRIVANE_FIGURE_STROKES:-}
if [ -z "$strokes_tool" ]; then
    strokes_tool=$work/figure-strokes
    log=$(c++ -std=c++17 -I"$root/src" -o "$strokes_tool" "$root/docs/lessons/figure_strokes.cpp" \
        "$root/src/scene.cpp" "$root/src/editor_state.cpp" 2>&1) ||
        fail "could not build the figure's strokes tool: $log"
fi
"$strokes_tool" >"$work/figure-strokes.txt" || fail "$strokes_tool could not print the figure's strokes"
program_colours=$("$strokes_tool" --colours) || fail "$strokes_tool could not print the window's colours"

# What each of the window's colours becomes on paper. On the grey scale
# (Rec. 709) the figure is 0, the ticks 43, the editable values 85, the fixed
# row 98, the axes 140 (3.4:1 against white) and the instruction line 81, out
# of 255; the window's black background becomes the white paper.
declare -A on_paper=(
    [figure]='#000000' [tick]='#1A2A6C' [axis]='#6B8FD0'
    [value]='#1B6B2B' [fixed-value]='#2F6F78' [instruction]='#8C3A8C'
)
recolour=(-fuzz 1% -fill '#FFFFFF' -opaque '#000000')
printed=" #FFFFFF "
while read -r name hex; do
    [ -n "${on_paper[$name]:-}" ] || fail "the window's colour $name has no print colour in docs/lessons/handout.sh"
    # The framebuffer may round a channel one step either way.
    recolour+=(-fuzz 1% -fill "${on_paper[$name]}" -opaque "$hex")
    printed+="${on_paper[$name]} "
done <<<"$program_colours"

shopt -s nullglob
sources=("$pictures"/*.png)
[ ${#sources[@]} -gt 0 ] || fail "no pictures in $pictures"
rm -f "$work/images/lessons/"*.png
log=$(mogrify -path "$work/images/lessons" -alpha off "${recolour[@]}" -define png:format=png24 \
    "${sources[@]}" 2>&1) || fail "ImageMagick could not convert the pictures: $log"
# A colour the map does not know (a changed program colour, a picture taken
# mid-entry) stops the handout instead of printing as it was.
printed_pictures=("$work/images/lessons/"*.png)
colours=$(convert "${printed_pictures[@]}" -append -format '%c' histogram:info:- 2>&1) ||
    fail "ImageMagick could not read the print pictures: $colours"
for hex in $(grep -o '#[0-9A-F]\{6\}' <<<"$colours"); do
    if [[ "$printed" != *" $hex "* ]]; then
        culprits=$(cd "$work/images/lessons" && for p in *.png; do
            convert "$p" -format '%c' histogram:info:- | grep -q "$hex" && echo "docs/images/lessons/$p"
        done | xargs)
        fail "$culprits: the colour ${hex} is none of the program's colours; take the picture again (bash docs/lessons/pictures.sh)"
    fi
done

# The axes and ticks, one pixel wide on the screen, widen by a pixel on each
# side where the paper is blank (a 600-pixel picture prints 78 mm wide, so
# they print 0.4 mm thick); what is drawn over them stays as it is.
for picture in "${printed_pictures[@]}"; do
    for colour in '#6B8FD0' '#1A2A6C'; do
        log=$(convert "$picture" \( +clone -fill "$colour" -colorize 100 \) \
            \( "$picture" -fill black +opaque "$colour" -fill white -opaque "$colour" -morphology Dilate Plus:1 \
               \( "$picture" -fill black +opaque '#FFFFFF' -fill white -opaque '#FFFFFF' \) \
               -compose multiply -composite \) \
            -compose over -composite -define png:format=png24 "$picture" 2>&1) ||
            fail "ImageMagick could not widen the axes of $picture: $log"
    done
done

# make_pdf PDF TITLE COPY: the sheet through the filter into a tagged PDF,
# COPY "teacher" or "worksheet". The filter stops pandoc when a picture or
# the heading of a link is missing, and so does any warning of pandoc's.
make_pdf() {
    local pdf=$1 title=$2 copy=$3 log
    mkdir -p "$(dirname "$pdf")" || fail "cannot create the folder of $pdf"
    tmp_pdf=${pdf%.pdf}.partial-$$.pdf
    # gfm_auto_identifiers gives the headings the identifiers the sheet's
    # links use (as on GitHub).
    log=$(cd "$work" && pandoc "$sheet" -f markdown+gfm_auto_identifiers -t html5 \
        --standalone --self-contained --resource-path="$work" --fail-if-warnings \
        --metadata pagetitle="$title" --metadata lang=en-GB \
        --metadata handout="$copy" --metadata strokes="$work/figure-strokes.txt" \
        --metadata exercises="$root/docs/lessons/exercises.txt" \
        --metadata keypoints="$root/docs/lessons/key_points.txt" \
        --lua-filter="$root/docs/lessons/handout.lua" --css="$root/docs/lessons/handout.css" \
        -o "$work/$copy.html" 2>&1) || fail "pandoc could not make $(basename "$pdf"): $log"
    # WeasyPrint lays it out, tagging figures, captions, header cells, answers
    # and page numbers as a screen reader needs them.
    log=$(cd "$work" && /usr/bin/python3 "$root/docs/lessons/tagged_pdf.py" "$work/$copy.html" "$tmp_pdf" 2>&1) ||
        fail "WeasyPrint could not make $(basename "$pdf"): $log"
    mv -f "$tmp_pdf" "$pdf"
    tmp_pdf=
    echo "$pdf"
}

tmp_pdf=
trap '[ -z "$tmp_pdf" ] || rm -f "$tmp_pdf"' EXIT
rm -rf "$work/frames"
make_pdf "$out" "Lessons with Ostrivane: the teacher's copy" teacher
make_pdf "$worksheet" "Lessons with Ostrivane: worksheet" worksheet
