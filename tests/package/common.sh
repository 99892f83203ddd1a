# Shared by the package checks: what lintian does not check. Source it.
set -euo pipefail
scratch=$1
: "${SOURCE_DIR:?names the source tree}" "${BUILD_DIR:?names the build}" "${VERSION:?is the project version}"
rm -rf "$scratch"
mkdir -p "$scratch"
# fail MESSAGE, as the scripts of tools/ have it.
source "$SOURCE_DIR/tools/common.sh"

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || fail "$tool is needed (bash tools/test.sh installs it)"
    done
}

# check_tree ROOT PREFIX: the Ostrivane installed under ROOT, to be used from
# PREFIX (ROOT itself, or the package's /usr), holds the lesson sheet with
# every picture it shows, the handout when this build makes it (HANDOUT=yes),
# a manual page of this version that groff sets without warnings and that
# names the sheet and handout where they are used from, and an AppStream entry
# that appstreamcli accepts.
check_tree() {
    local root=$1 prefix=$2
    local doc=$root/share/doc/ostrivane manual=$root/share/man/man1/ostrivane.1.gz picture shown=0
    [ -f "$doc/lessons.md" ] || fail "no lesson sheet $doc/lessons.md"
    for picture in $(grep -o '](images/lessons/[^)]*\.png)' "$doc/lessons.md" | sed 's/^](//; s/)$//'); do
        [ "$(head -c 8 "$doc/$picture" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
            fail "the sheet shows $picture, but $doc/$picture is no PNG picture"
        shown=$((shown + 1))
    done
    [ "$shown" -gt 0 ] || fail "the installed sheet shows no pictures"
    case ${HANDOUT:-} in
        yes) for name in lessons.pdf worksheet.pdf; do
                [ "$(head -c 5 "$doc/$name" 2>/dev/null)" = "%PDF-" ] || fail "no PDF handout $doc/$name"
            done ;;
        no) [ ! -e "$doc/lessons.pdf" ] || fail "this build leaves the handouts out, yet they are installed" ;;
        *) fail "HANDOUT is '${HANDOUT:-}', not yes or no" ;;
    esac

    local warnings text
    warnings=$(gzip -dc "$manual" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1) ||
        fail "groff cannot render the manual page: $warnings"
    [ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
    # Set on lines long enough that every path stays whole.
    text=$(gzip -dc "$manual" | LC_ALL=C.UTF-8 groff -man -Tascii -P-cbou -rLL=1000n 2>/dev/null)
    grep -q "Ostrivane $VERSION *${DATE:?is the release date}" <<<"$text" ||
        fail "the manual page does not carry version $VERSION of $DATE"
    for name in lessons.md $([ "$HANDOUT" = no ] || echo lessons.pdf worksheet.pdf); do
        grep -qF " $prefix/share/doc/ostrivane/$name" <<<"$text" ||
            fail "the manual page does not name $prefix/share/doc/ostrivane/$name"
    done

    local metainfo=$root/share/metainfo/org.ostrivane.ostrivane.metainfo.xml report
    report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || fail "appstreamcli rejects $metainfo: $report"
}
