#!/usr/bin/env bash
# Makes the printable handout of the lesson sheet: one A4 PDF of
# docs/lessons.md whose pictures are print versions of the sheet's
# screenshots (white paper, the figure, axes, ticks and matrix in dark
# colours that stay apart in greyscale, every pixel where it was).
#
#   bash tools/handout.sh [--out FILE] [--work DIR] [--no-install | --check]
#
# The print pictures are made from docs/images/lessons/*.png by mapping the
# program's few exact colours with ImageMagick, into WORK/images/lessons/;
# pandoc turns the sheet into HTML and weasyprint lays it out. Missing Debian
# packages are installed first unless --no-install is given (the package
# build uses it after --check has found everything).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sheet=$root/docs/lessons.md
pictures=$root/docs/images/lessons

usage() {
    cat <<EOF
usage: bash tools/handout.sh [--out FILE] [--work DIR] [--no-install | --check]
  --out FILE     the PDF to write (default build-handout/lessons.pdf)
  --work DIR     where the print pictures and the page style go
                 (default: the folder of the PDF)
  --no-install   fail instead of installing missing Debian packages
  --check        only say whether everything it needs is installed: exit 0,
                 or name the missing Debian packages and exit 1
EOF
}

fail() {
    echo "handout: $*" >&2
    exit 1
}

out=$root/build-handout/lessons.pdf
work=
install=yes
check=no
while [ $# -gt 0 ]; do
    case $1 in
        --out|--work)
            [ $# -ge 2 ] || { usage >&2; exit 2; }
            case $1 in
                --out) out=$2 ;;
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
[ -n "$work" ] || work=$(dirname "$out")
case $work in /*) ;; *) work=$PWD/$work ;; esac

# The tools, each with the Debian package that brings it.
tools=(pandoc:pandoc weasyprint:weasyprint convert:imagemagick mogrify:imagemagick fc-list:fontconfig)
fonts_package=fonts-dejavu-core
missing=()
for pair in "${tools[@]}"; do
    command -v "${pair%%:*}" >/dev/null 2>&1 || missing+=("${pair#*:}")
done
# The sheet's mathematics (−, ′, ·, √, θ) needs a font that has them.
if ! command -v fc-list >/dev/null 2>&1 || [ -z "$(fc-list 'DejaVu Serif' 2>/dev/null)" ]; then
    missing+=("$fonts_package")
fi
if [ ${#missing[@]} -gt 0 ]; then
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
fi
if [ "$check" = yes ]; then
    [ ${#missing[@]} -eq 0 ] || { echo "${missing[*]}"; exit 1; }
    exit 0
fi
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$install" = no ]; then
        fail "missing Debian packages: ${missing[*]} (sudo apt-get install ${missing[*]})"
    fi
    command -v apt-get >/dev/null 2>&1 ||
        fail "missing ${missing[*]}; install them with your system's package manager"
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 || fail "missing Debian packages: ${missing[*]}; run as root or install sudo"
        sudo=(sudo)
    fi
    echo "Installing missing Debian packages: ${missing[*]}"
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq ||
        fail "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        "${missing[@]}" >/dev/null || fail "could not install ${missing[*]}"
fi

[ -f "$sheet" ] || fail "no lesson sheet at $sheet"
mkdir -p "$work/images/lessons" "$(dirname "$out")" || fail "cannot create $work"

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
EOF

# Each exercise starts a page, so that one exercise can be copied for a class.
cat >"$work/exercise-pages.lua" <<'EOF'
function Header(h)
  if h.level == 2 and pandoc.utils.stringify(h.content):match("^%d+%.") then
    h.classes:insert("exercise")
  end
  return h
end
EOF

tmp_pdf=${out%.pdf}.partial-$$.pdf
trap 'rm -f "$tmp_pdf"' EXIT
# gfm_auto_identifiers gives the headings the identifiers the sheet's
# contents links use (as on GitHub); pandoc's own would leave them dangling.
log=$(cd "$work" && pandoc "$sheet" \
    -f markdown+gfm_auto_identifiers \
    -t html5 --standalone --self-contained \
    --resource-path="$work" \
    --metadata pagetitle="Lessons with Ostrivane" \
    --lua-filter="$work/exercise-pages.lua" \
    --css="$work/handout.css" \
    --pdf-engine=weasyprint \
    -o "$tmp_pdf" 2>&1) || fail "pandoc failed: $log"
# pandoc exits 0 even when the layout engine reports a broken link or a
# missing picture; those leave a handout with holes, so they fail it.
if grep -Eiq 'no anchor|could not fetch|failed to load|not found|error' <<<"$log"; then
    fail "the handout has broken links or pictures: $log"
fi
mv -f "$tmp_pdf" "$out"
echo "$out"
