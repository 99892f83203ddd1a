#!/usr/bin/env bash
# check_dist.sh DIST VERSION WORK: reads back what tools/release.sh left in
# DIST. Every download carries VERSION in its name; SHA256SUMS lists exactly
# the other files and verifies; the two handouts are downloads of their own;
# the Debian package is of VERSION and holds both; what students are given,
# the Windows zip (with the program, its read-me and the licence) and the
# site, holds the students' worksheet but not the teacher's copy with the
# answers; both zips carry the third-party notices of what their
# program holds; the source archive holds the tree; and the site, unzipped
# into an empty folder and opened from disk in headless Chromium, draws the
# first frame (tests/web/page_test.mjs's firstFrameFromDisk). The site is kept in
# WORK, emptied first.
set -euo pipefail
dist=$1 version=$2 scratch=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/tools/common.sh"
for tool in sha256sum unzip tar dpkg dpkg-deb chromium node npm; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is needed (bash tools/release.sh installs it)"
done
[ -d "$dist" ] || fail "no folder $dist"
cd "$dist"

# The names.
arch=$(dpkg --print-architecture)
deb=ostrivane_${version}_$arch.deb
win=ostrivane-$version-win64.zip
web=ostrivane-$version-web.zip
source=ostrivane-$version.tar.gz
handouts=()
for file in *; do
    case $file in
        SHA256SUMS | "$deb" | "$win" | "$web" | "$source") ;;
        "ostrivane-$version-"*.pdf) handouts+=("${file#ostrivane-"$version"-}") ;;
        *) fail "$file does not carry the version $version in the form of a download" ;;
    esac
done
for file in SHA256SUMS "$deb" "$win" "$web" "$source"; do
    [ -f "$file" ] || fail "no $file in $dist"
done
[ "${handouts[*]}" = "lessons.pdf worksheet.pdf" ] ||
    fail "the handouts are ${handouts[*]:-none}, not lessons.pdf (the teacher's) and worksheet.pdf (the students')"
for pdf in "${handouts[@]}"; do
    [ "$(head -c 5 "ostrivane-$version-$pdf")" = "%PDF-" ] || fail "ostrivane-$version-$pdf is no PDF"
done

# The checksums: every other file, each once, all matching.
listed=$(sed 's/^[0-9a-f]\{64\}  //' SHA256SUMS | sort)
present=$(for file in *; do [ "$file" = SHA256SUMS ] || echo "$file"; done | sort)
[ "$listed" = "$present" ] || fail "SHA256SUMS lists
$listed
but the folder holds
$present"
report=$(sha256sum --check --strict SHA256SUMS 2>&1) ||
    fail "SHA256SUMS does not verify: $(grep -v ': OK$' <<<"$report")"

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb is of version $(dpkg-deb -f "$deb" Version)"
deb_files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for pdf in "${handouts[@]}"; do
    grep -qx "./usr/share/doc/ostrivane/$pdf" <<<"$deb_files" || fail "$deb lacks the handout /usr/share/doc/ostrivane/$pdf"
done
tar -tzf "$source" | grep -x "ostrivane-$version/CMakeLists.txt" >/dev/null ||
    fail "$source has no ostrivane-$version/CMakeLists.txt"

# The Windows zip: the program, its read-me, the licence, the worksheet.
win_files=$(unzip -Z1 "$win")
for file in ostrivane.exe README.txt LICENSE worksheet.pdf; do
    grep -qx "$file" <<<"$win_files" || fail "$win lacks $file; it holds: $(xargs <<<"$win_files")"
done
! grep -qx lessons.pdf <<<"$win_files" || fail "$win, which students are given, holds the teacher's copy lessons.pdf"
[ "$(unzip -p "$win" ostrivane.exe | head -c 2)" = MZ ] || fail "ostrivane.exe in $win is no Windows program"
grep -q "Ostrivane $version" <(unzip -p "$win" README.txt) || fail "README.txt in $win does not name Ostrivane $version"

# The third-party notices (packaging/notices.sh), each text whole as its
# source gives it: freeglut's licence and the MinGW-w64 runtime's beside the
# .exe that links them, freeglut's font data's notice, Emscripten's and
# musl's beside the page.
freeglut=$(fetch_freeglut)
# notices_hold ZIP TEXT...: THIRD-PARTY-NOTICES.txt in ZIP holds each text.
notices_hold() {
    local zip=$1 notices file text
    shift
    notices=$(unzip -p "$zip" THIRD-PARTY-NOTICES.txt) || fail "$zip has no THIRD-PARTY-NOTICES.txt"
    for file in "$@"; do
        text=$(cat "$file")
        [[ "$notices" == *"$text"* ]] ||
            fail "THIRD-PARTY-NOTICES.txt in $zip lacks the text that begins: $(grep -m 1 . <<<"$text")"
    done
}
notices_hold "$win" "$freeglut/COPYING" /usr/share/doc/mingw-w64-x86-64-dev/copyright
notices_hold "$web" <(sed '/^#include/,$d' "$freeglut/src/fg_font_data.c") <(echo "The Emscripten Authors") \
    /usr/share/emscripten/system/lib/libc/musl/COPYRIGHT

# The site, opened from disk where it was unzipped.
rm -rf "$scratch"
mkdir -p "$scratch/site"
unzip -q "$web" -d "$scratch/site"
[ -f "$scratch/site/index.html" ] || fail "$web has no index.html at its top"
for file in LICENSE worksheet.pdf; do
    [ -f "$scratch/site/$file" ] || fail "$web lacks $file"
done
[ ! -e "$scratch/site/lessons.pdf" ] || fail "$web, the students' site, holds the teacher's copy lessons.pdf"
bash "$root/tests/web/node.sh" page_test.mjs "$scratch/site" firstFrameFromDisk ||
    fail "the page from $web, opened from disk, did not draw its first frame (above)"

files=(*)
echo "dist ok: ${files[*]}"
