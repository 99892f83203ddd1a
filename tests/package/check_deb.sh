#!/usr/bin/env bash
# check_deb.sh SCRATCH_DIR: the Debian package that tools/test.sh made of the
# build with cpack (in package/ of the build) carries this version's name and
# lintian finds nothing to warn about in it; then what
# lintian leaves unchecked: the file list, the copyright file's format and its
# licence text against LICENSE, that Depends brings every library the program
# needs (freeglut's shared one among them: the package holds no third-party
# code, so its copyright file names Ostrivane's licence alone), the
# documents and manual page (common.sh), and that the packaged program
# starts, opens its window and prints nothing.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "dpkg-deb is not installed: no Debian package to check"
    exit 77
fi
need_tools dpkg-shlibdeps lintian readelf groff gzip appstreamcli

deb=$BUILD_DIR/package/ostrivane_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb: tools/test.sh makes it with cpack before the suite runs"
report=$(lintian --fail-on warning "$deb" 2>&1) ||
    fail "lintian: $report"
[ -z "$report" ] || echo "lintian notes: $report"

doc=./usr/share/doc/ostrivane
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$({
    printf '%s\n' ./usr/bin/ostrivane ./usr/share/applications/ostrivane.desktop \
        ./usr/share/icons/hicolor/scalable/apps/ostrivane.svg ./usr/share/man/man1/ostrivane.1.gz \
        ./usr/share/metainfo/org.ostrivane.ostrivane.metainfo.xml ./usr/share/lintian/overrides/ostrivane $doc/CHANGELOG.md.gz $doc/copyright $doc/lessons.md
    [ "$HANDOUT" != yes ] || printf '%s\n' "$doc/lessons.pdf" "$doc/worksheet.pdf"
    for picture in "$SOURCE_DIR"/docs/images/lessons/*.png; do echo "$doc/images/lessons/${picture##*/}"; done
} | sort)
[ "$files" = "$expected" ] || fail "package contents differ; expected:
$expected
got:
$files"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
check_tree "$root/usr" /usr

# The copyright file, read as Debian's format defines it: paragraphs split by
# blank lines, continuation lines indented, a lone "." for an empty line.
copyright=$root/usr/share/doc/ostrivane/copyright
[ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "$copyright is not in Debian's machine-readable format"
awk -v RS= '/^Files: \*\n/ && /\nCopyright: [^\n]*The Ostrivane developers/ && /\nLicense: MIT(\n|$)/ { found = 1 }
    END { exit !found }' "$copyright" || fail "$copyright gives not all files to The Ostrivane developers under MIT"
[ "$(awk -v RS= '/^License: MIT\n/' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')" = \
    "$(sed -n '/^Permission is hereby granted/,$p' "$SOURCE_DIR/LICENSE")" ] ||
    fail "the licence text in $copyright is not that of LICENSE"

# Every shared library the program needs comes from a package that Depends names.
program=$root/usr/bin/ostrivane depends=$(dpkg-deb -f "$deb" Depends)
depends_names=" $(sed 's/([^)]*)//g; s/[|,]/ /g' <<<"$depends" | xargs) "
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf shows no libraries for the packaged program"
# Linked as a shared library, freeglut needs no notice in the copyright file.
grep -q '^libglut\.so' <<<"$needed" || fail "the packaged program does not link freeglut's shared library"
for lib in $needed; do
    owners=$(dpkg -S "*/$lib" 2>/dev/null | sed 's/: .*//; s/, /\n/g; s/:[^ ]*//g' | sort -u) ||
        fail "no installed package provides $lib"
    grep -qxFf <(tr ' ' '\n' <<<"$depends_names") <<<"$owners" ||
        fail "$lib comes from $(xargs <<<"$owners"), which Depends ($depends) does not name"
done

if [ -z "${DISPLAY:-}" ] || ! command -v xwininfo >/dev/null 2>&1; then
    echo "no display: the packaged program was not started"
    exit 0
fi
"$program" >"$scratch/output" 2>&1 &
pid=$!
for _ in $(seq 200); do # up to 20 s on a busy machine
    xwininfo -name Ostrivane >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || fail "the packaged program ended at once: $(cat "$scratch/output")"
    sleep 0.1
done
xwininfo -name Ostrivane >/dev/null 2>&1 || fail "the packaged program opened no window titled Ostrivane"
kill "$pid" 2>/dev/null || fail "the packaged program ended while its window was there: $(cat "$scratch/output")"
wait "$pid" 2>/dev/null || true
[ ! -s "$scratch/output" ] || fail "the packaged program printed: $(cat "$scratch/output")"
rm -rf "$scratch"
echo "$(basename "$deb") ok; Depends: $depends"
