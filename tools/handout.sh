#!/usr/bin/env bash
# Makes the printable handouts of the lesson sheet, docs/lessons.md, both
# A4 PDFs: the teacher's handout, with the answers, and the students'
# worksheet, without them (the sheet's <div class="answer"> blocks and its
# part for the teacher left out, and in place of each exercise's picture a
# blank frame with the axes to sketch a prediction in).
#
#   bash tools/handout.sh [--out FILE] [--worksheet FILE] [--work DIR] [--no-install | --check]
#
# The handout's pictures are print versions of the sheet's screenshots
# (white paper, the figure, axes, ticks and matrix in dark colours that stay
# apart in greyscale, every pixel where it was), made from
# docs/images/lessons/*.png by mapping the program's few exact colours with
# ImageMagick, into WORK/images/lessons/; the worksheet's frame is the axes
# alone, taken from the same pictures. pandoc turns the sheet into HTML and
# weasyprint lays it out. Missing Debian packages (the "handout" kind of
# tools/packages.txt) are installed first unless --no-install is given (the
# package build uses it after --check has found everything).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/common.sh"
sheet=$root/docs/lessons.md
pictures=$root/docs/images/lessons

usage() {
    cat <<EOF
usage: bash tools/handout.sh [--out FILE] [--worksheet FILE] [--work DIR] [--no-install | --check]
  --out FILE        the teacher's handout, with the answers
                    (default build-handout/lessons.pdf)
  --worksheet FILE  the students' worksheet, without them
                    (default: worksheet.pdf in the folder of the handout)
  --work DIR        where the print pictures and the page style go
                    (default: the folder of the handout)
  --no-install      fail instead of installing missing Debian packages
  --check           only say whether everything it needs is installed: exit 0,
                    or name the missing Debian packages and exit 1
EOF
}

fail() {
    echo "handout: $*" >&2
    exit 1
}

out=$root/build-handout/lessons.pdf
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
case $out in /*) ;; *) out=$PWD/$out ;; esac
[ -n "$worksheet" ] || worksheet=$(dirname "$out")/worksheet.pdf
case $worksheet in /*) ;; *) worksheet=$PWD/$worksheet ;; esac
[ -n "$work" ] || work=$(dirname "$out")
case $work in /*) ;; *) work=$PWD/$work ;; esac

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

# The program's colours, as its 8-bit window holds them, and what each
# becomes on paper. On the grey scale (Rec. 709) the figure is 0, the ticks
# 43, the editable values 85, the fixed row 98, the axes 140 and the
# instruction line 81, out of 255; the paper is white.
colour_map=(
    '#000000=#FFFFFF'  # background
    '#FFFF33=#000000'  # figure
    '#0000B2=#6B8FD0'  # axes
    '#000080=#1A2A6C'  # ticks
    '#00FF00=#1B6B2B'  # editable values
    '#00FFFF=#2F6F78'  # fixed bottom row
    '#FF80FF=#8C3A8C'  # instruction line
)
recolour=()
printed=" "
for pair in "${colour_map[@]}"; do
    # The framebuffer may round a channel one step either way.
    recolour+=(-fuzz 1% -fill "${pair#*=}" -opaque "${pair%=*}")
    printed+="${pair#*=} "
done

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
        fail "$culprits: the colour ${hex} is none of the program's colours; take the picture again (bash tools/lesson-pictures.sh)"
    fi
done

# The page: A4 with margins wide enough that it also prints on Letter
# without cropping. Letter is 17.6 mm shorter and 5.9 mm wider than A4, so
# 25 mm at the top and 30 mm at the bottom (the page number 25 mm up) stay
# clear of the printer's own few millimetres whether it centres the page or
# aligns it to the top.
cat >"$work/handout.css" <<'EOF'
@page {
    size: A4;
    margin: 25mm 20mm 30mm 20mm;
    @bottom-center {
        content: counter(page) " / " counter(pages);
        vertical-align: top;
        font: 9pt "DejaVu Sans", sans-serif;
        color: #444;
    }
}
html { font: 10.5pt/1.4 "DejaVu Serif", serif; color: #000; }
h1, h2 { font-family: "DejaVu Sans", sans-serif; break-after: avoid; }
h1 { font-size: 18pt; margin: 0 0 6mm; }
h2 { font-size: 13.5pt; margin: 7mm 0 3mm; }
h2.exercise { break-before: page; margin-top: 0; }
p, li { orphans: 3; widows: 3; }
a { color: inherit; text-decoration: none; }
code, pre { font-family: "DejaVu Sans Mono", monospace; font-size: 9.5pt; }
pre { margin: 3mm 0; padding: 2mm 4mm; border-left: 1mm solid #999; break-inside: avoid; }
table { border-collapse: collapse; margin: 3mm 0; break-inside: avoid; }
th, td { border: 0.3mm solid #777; padding: 1mm 2.5mm; text-align: left; vertical-align: top; }
blockquote { margin: 4mm 0; padding: 1mm 5mm; border: 0.4mm solid #000; break-inside: avoid; }
figure { margin: 4mm 0; text-align: center; break-inside: avoid; }
figure img { width: 105mm; image-rendering: pixelated; border: 0.3mm solid #777; }
figcaption { font-size: 9pt; font-style: italic; margin-top: 1.5mm; }
div.answer { margin: 4mm 0; padding: 0.5mm 0 0.5mm 4mm; border-left: 1.2mm solid #777; }
div.answer::before { content: "Answer"; display: block; font: bold 9pt "DejaVu Sans", sans-serif; color: #444; }
div.answer > p:first-of-type { margin-top: 1mm; }
EOF

# The worksheet's frame: the axes and ticks alone, on white, from the
# picture of the exercise whose figure shrinks to nothing (the sheet's
# collapse-to-point) with the matrix and the instruction line taken out. The
# instruction line crosses the y axis (pixel column 299) below its lowest
# tick (row 570), so that piece of the axis is drawn again.
frame_source=$work/images/lessons/collapse-to-point.png
[ -f "$frame_source" ] || fail "no docs/images/lessons/collapse-to-point.png to take the worksheet's frame from"
log=$(convert "$frame_source" -fuzz 1% \
    -fill '#FFFFFF' -opaque '#1B6B2B' -opaque '#2F6F78' -opaque '#8C3A8C' -opaque '#000000' \
    -stroke '#6B8FD0' -draw 'line 299,575 299,599' -define png:format=png24 \
    "$work/images/frame.png" 2>&1) || fail "ImageMagick could not make the worksheet's frame: $log"

# Each exercise starts a page, so that one exercise can be copied for a
# class; the answers are marked as such.
cat >"$work/handout.lua" <<'EOF'
function Header(h)
  if h.level == 2 and pandoc.utils.stringify(h.content):match("^%d+%.") then
    h.classes:insert("exercise")
  end
  return h
end
EOF
# The worksheet as well leaves out the part for the teacher and every
# answer; an answer that holds the exercise's picture becomes the frame.
cat >"$work/worksheet.lua" <<'EOF'
local function has_picture(div)
  local found = false
  pandoc.walk_block(div, { Image = function() found = true end })
  return found
end

function Div(div)
  if div.classes:includes("teacher") then
    return {}
  end
  if div.classes:includes("answer") then
    if not has_picture(div) then
      return {}
    end
    local caption = { pandoc.Str(
      "Before typing: sketch where you expect the figure, then type the entries and compare.") }
    return pandoc.Para({ pandoc.Image(caption, "images/frame.png", "fig:") })
  end
end

function Header(h)
  if h.level == 1 then
    h.content:extend({ pandoc.Str(":"), pandoc.Space(), pandoc.Str("worksheet") })
  end
  return h
end
EOF

# make_pdf PDF TITLE FILTER...: the sheet through the filters into PDF.
make_pdf() {
    local pdf=$1 title=$2 filters=() log
    shift 2
    for filter in "$@"; do
        filters+=(--lua-filter="$work/$filter")
    done
    mkdir -p "$(dirname "$pdf")" || fail "cannot create the folder of $pdf"
    tmp_pdf=${pdf%.pdf}.partial-$$.pdf
    # gfm_auto_identifiers gives the headings the identifiers the sheet's
    # contents links use (as on GitHub); pandoc's own would leave them
    # dangling.
    log=$(cd "$work" && pandoc "$sheet" \
        -f markdown+gfm_auto_identifiers \
        -t html5 --standalone --self-contained \
        --resource-path="$work" \
        --metadata pagetitle="$title" \
        "${filters[@]}" \
        --css="$work/handout.css" \
        --pdf-engine=weasyprint \
        -o "$tmp_pdf" 2>&1) || fail "pandoc failed: $log"
    # pandoc exits 0 even when the layout engine reports a broken link or a
    # missing picture; those leave a handout with holes, so they fail it.
    if grep -Eiq 'no anchor|could not fetch|failed to load|not found|error' <<<"$log"; then
        fail "$(basename "$pdf") has broken links or pictures: $log"
    fi
    mv -f "$tmp_pdf" "$pdf"
    tmp_pdf=
    echo "$pdf"
}

tmp_pdf=
trap '[ -z "$tmp_pdf" ] || rm -f "$tmp_pdf"' EXIT
make_pdf "$out" "Lessons with Ostrivane" handout.lua
make_pdf "$worksheet" "Lessons with Ostrivane: worksheet" worksheet.lua handout.lua
