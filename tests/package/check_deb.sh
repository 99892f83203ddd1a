#!/usr/bin/env bash
# check_deb.sh BUILD_DIR SCRATCH_DIR VERSION: cpack builds the Debian package
# of the build; its control fields, its contents (the program, its desktop
# files, the copyright file, the lesson sheet with its pictures and handout)
# and its dependencies are checked, and the packaged program is started when
# a display is at hand. SOURCE_DIR names the source tree; HANDOUT says
# whether this build makes the handout (yes or no).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_dir=$1 scratch=$2 version=$3
: "${SOURCE_DIR:?names the source tree}"
cpack=${CPACK:-cpack}

if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "dpkg-deb is not installed: no Debian package to check"
    exit 77
fi
need_tools "$cpack" dpkg dpkg-shlibdeps readelf desktop-file-validate xmllint groff gzip appstreamcli

rm -rf "$scratch"
mkdir -p "$scratch"
log=$("$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch" 2>&1) || fail "cpack failed: $log"

arch=$(dpkg --print-architecture)
deb=$scratch/ostrivane_${version}_${arch}.deb
[ -f "$deb" ] || fail "cpack did not make $(basename "$deb"); it made: $(ls "$scratch")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "ostrivane" ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = "education" ] || fail "Section is '$(field Section)'"
maintainer_form='^[^<]+ <[^@>]+@[^>]+>$'
[[ "$(field Maintainer)" =~ $maintainer_form ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
description=$(field Description)
[ "$(wc -l <<<"$description")" -ge 2 ] || fail "Description has no long text"
awk 'length > 80 { exit 1 }' <<<"$description" || fail "Description has lines longer than 80 characters"
depends=$(field Depends)
[ -n "$depends" ] || fail "the package has no Depends"

# Contents: exactly these files, owned by root, nothing else.
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { print $1, $2, $6 }' <<<"$listing" | sort)
doc=./usr/share/doc/ostrivane
expected=$({
    cat <<EOF
-rw-r--r-- root/root ./usr/share/applications/ostrivane.desktop
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/ostrivane.svg
-rw-r--r-- root/root ./usr/share/man/man1/ostrivane.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/org.ostrivane.ostrivane.metainfo.xml
-rw-r--r-- root/root $doc/copyright
-rw-r--r-- root/root $doc/lessons.md
-rwxr-xr-x root/root ./usr/bin/ostrivane
EOF
    [ "${HANDOUT:-}" != yes ] || echo "-rw-r--r-- root/root $doc/lessons.pdf"
    [ "${HANDOUT:-}" != yes ] || echo "-rw-r--r-- root/root $doc/worksheet.pdf"
    for picture in "$SOURCE_DIR"/docs/images/lessons/*.png; do
        echo "-rw-r--r-- root/root $doc/images/lessons/$(basename "$picture")"
    done
} | sort)
[ "$files" = "$expected" ] || fail "package contents differ; expected:
$expected
got:
$files"
awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root") { exit 1 }' <<<"$listing" ||
    fail "package has directories not drwxr-xr-x root/root: $listing"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
check_tree "$root/usr" "$version" /usr
program=$root/usr/bin/ostrivane

# Every shared library the program needs comes from a package that Depends
# names, so that installing the package brings everything it runs on.
depends_names=" $(sed 's/([^)]*)//g; s/[|,]/ /g' <<<"$depends" | xargs) "
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf shows no libraries for the packaged program"
for lib in $needed; do
    owners=$(dpkg -S "*/$lib" 2>/dev/null | sed 's/: .*//' | tr ',' '\n' | sed 's/^ *//; s/:.*//' | sort -u) ||
        fail "no installed package provides $lib"
    found=no
    for owner in $owners; do
        [[ "$depends_names" == *" $owner "* ]] && found=yes
    done
    [ "$found" = yes ] || fail "$lib comes from $(xargs <<<"$owners"), which Depends ($depends) does not name"
done
grep -Eq ' (libglut|freeglut)' <<<"$depends_names" || fail "Depends names no freeglut runtime: $depends"

# The packaged (stripped) program starts, opens its window and prints nothing.
if [ -n "${DISPLAY:-}" ] && command -v xwininfo >/dev/null 2>&1; then
    "$program" >"$scratch/output" 2>&1 &
    pid=$!
    shown=no
    for _ in $(seq 200); do  # up to 20 s on a busy machine
        if xwininfo -name Ostrivane >/dev/null 2>&1; then
            shown=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    alive=no
    kill -0 "$pid" 2>/dev/null && alive=yes
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ "$alive" = yes ] || fail "the packaged program ended at once: $(cat "$scratch/output")"
    [ "$shown" = yes ] || fail "the packaged program opened no window titled Ostrivane"
    [ ! -s "$scratch/output" ] || fail "the packaged program printed: $(cat "$scratch/output")"
else
    echo "no display: the packaged program was not started"
fi

rm -rf "$scratch"
echo "$(basename "$deb") ok; Depends: $depends"
