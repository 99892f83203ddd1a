# Checks shared by check_install.sh and check_deb.sh. Source it.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || fail "$tool is needed (bash tools/test.sh installs it)"
    done
}

# desktop_key FILE KEY: the value of KEY in the [Desktop Entry] group.
desktop_key() {
    awk -F= -v key="$2" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && $1 == key { sub(/^[^=]*=/, ""); print; exit }
    ' "$1"
}

# check_tree PREFIX VERSION [INSTALLED_PREFIX]: an installed Ostrivane under
# PREFIX (bin/, share/) has a runnable program, a valid launcher that starts
# it by name and names the icon that is there, an SVG icon, a manual page that
# renders without warnings and carries VERSION, and the documents of
# check_documents. INSTALLED_PREFIX is where the tree will be used from (the
# package's /usr), PREFIX itself by default.
check_tree() {
    local prefix=$1 version=$2 installed=${3:-$1}
    local program=$prefix/bin/ostrivane
    local launcher=$prefix/share/applications/ostrivane.desktop
    local icon_dir=$prefix/share/icons/hicolor/scalable/apps
    local manual=$prefix/share/man/man1/ostrivane.1.gz

    [ -f "$program" ] && [ -x "$program" ] || fail "no executable $program"
    [ -f "$launcher" ] || fail "no launcher $launcher"
    [ -f "$manual" ] || fail "no manual page $manual"

    local report
    report=$(desktop-file-validate "$launcher" 2>&1) || fail "desktop-file-validate rejects the launcher: $report"
    [ -z "$report" ] || fail "desktop-file-validate warns about the launcher: $report"
    [ "$(desktop_key "$launcher" Name)" = "Ostrivane" ] || fail "launcher Name is not Ostrivane"
    [ "$(desktop_key "$launcher" Type)" = "Application" ] || fail "launcher Type is not Application"
    [ "$(desktop_key "$launcher" Terminal)" = "false" ] || fail "launcher opens a terminal"
    [ -n "$(desktop_key "$launcher" Comment)" ] || fail "launcher has no Comment"
    local categories
    categories=";$(desktop_key "$launcher" Categories)"
    [[ "$categories" == *";Education;"* && "$categories" == *";Math;"* ]] ||
        fail "launcher Categories lack Education or Math: $categories"
    local exec_word
    exec_word=$(desktop_key "$launcher" Exec | awk '{ print $1 }')
    [ "$(basename "$exec_word")" = "$(basename "$program")" ] ||
        fail "launcher runs '$exec_word', not the installed $(basename "$program")"
    local icon_name
    icon_name=$(desktop_key "$launcher" Icon)
    [ -f "$icon_dir/$icon_name.svg" ] || fail "launcher icon '$icon_name' is not installed in $icon_dir"

    xmllint --noout "$icon_dir/$icon_name.svg" || fail "icon is not well-formed XML"
    [ "$(xmllint --xpath 'local-name(/*)' "$icon_dir/$icon_name.svg")" = "svg" ] &&
        [ "$(xmllint --xpath 'namespace-uri(/*)' "$icon_dir/$icon_name.svg")" = "http://www.w3.org/2000/svg" ] ||
        fail "icon is not an SVG document"

    local warnings text
    warnings=$(gzip -dc "$manual" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1) ||
        fail "groff cannot render the manual page: $warnings"
    [ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
    text=$(gzip -dc "$manual" | LC_ALL=C.UTF-8 groff -man -Tascii -P-cbou 2>/dev/null)
    grep -q "^ *ostrivane - " <<<"$text" || fail "the manual page has no NAME line for ostrivane"
    grep -q "Ostrivane $version" <<<"$text" || fail "the manual page does not carry version $version"

    check_documents "$prefix" "$installed"
}

# check_documents PREFIX INSTALLED_PREFIX: share/doc/ostrivane holds
# Debian's machine-readable copyright file with the licence of LICENSE, the
# lesson sheet with every picture it shows, and the handout when this build
# makes it (HANDOUT=yes); the manual page names the sheet and handout where
# they are used from; share/metainfo holds an AppStream entry that
# appstreamcli accepts and that names the installed launcher and program.
check_documents() {
    local prefix=$1 installed=$2
    local doc=$prefix/share/doc/ostrivane
    local copyright=$doc/copyright sheet=$doc/lessons.md handout=$doc/lessons.pdf

    [ -f "$copyright" ] || fail "no copyright file $copyright"
    [ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        fail "$copyright is not in Debian's machine-readable format: $(head -n 1 "$copyright")"
    # The paragraph of the files, and the licence's text, read as Debian's
    # format defines them: paragraphs split by blank lines, continuation
    # lines indented, a lone "." for an empty line.
    awk -v RS= '/^Files: \*\n/ && /\nCopyright: [^\n]*The Ostrivane developers/ && /\nLicense: MIT(\n|$)/ { found = 1 }
        END { exit !found }' "$copyright" ||
        fail "$copyright has no paragraph giving all files to The Ostrivane developers under License: MIT"
    local text
    text=$(awk -v RS= '/^License: MIT\n/' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
    [ -n "${SOURCE_DIR:-}" ] || fail "SOURCE_DIR (the source tree) is not set"
    [ "$text" = "$(sed -n '/^Permission is hereby granted/,$p' "$SOURCE_DIR/LICENSE")" ] ||
        fail "the licence text in $copyright is not that of LICENSE"

    [ -f "$sheet" ] || fail "no lesson sheet $sheet"
    local picture shown=0
    for picture in $(grep -o '](images/lessons/[^)]*\.png)' "$sheet" | sed 's/^](//; s/)$//'); do
        [ "$(head -c 8 "$doc/$picture" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
            fail "the sheet shows $picture, but $doc/$picture is no PNG picture"
        shown=$((shown + 1))
    done
    [ "$shown" -gt 0 ] || fail "the installed sheet shows no pictures"

    local manual_source
    manual_source=$(gzip -dc "$prefix/share/man/man1/ostrivane.1.gz")
    grep -qF "$installed/share/doc/ostrivane/lessons.md" <<<"$manual_source" ||
        fail "the manual page does not name the lesson sheet as $installed/share/doc/ostrivane/lessons.md"
    case ${HANDOUT:-} in
        yes)
            [ "$(head -c 5 "$handout" 2>/dev/null)" = "%PDF-" ] || fail "no PDF handout $handout"
            grep -qF "$installed/share/doc/ostrivane/lessons.pdf" <<<"$manual_source" ||
                fail "the manual page does not name the handout as $installed/share/doc/ostrivane/lessons.pdf"
            ;;
        no)
            [ ! -e "$handout" ] || fail "this build leaves the handout out, yet $handout is there"
            echo "this build leaves the handout out (its tools are not installed): not checked"
            ;;
        *) fail "HANDOUT is '${HANDOUT:-}', not yes or no" ;;
    esac

    local metainfo=$prefix/share/metainfo/org.ostrivane.ostrivane.metainfo.xml report
    [ -f "$metainfo" ] || fail "no AppStream entry $metainfo"
    report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) ||
        fail "appstreamcli rejects $metainfo: $report"
    local launcher binary
    launcher=$(xmllint --xpath 'string(/component/launchable[@type="desktop-id"])' "$metainfo")
    [ -f "$prefix/share/applications/$launcher" ] ||
        fail "the AppStream entry launches '$launcher', which is not installed in share/applications"
    binary=$(xmllint --xpath 'string(/component/provides/binary)' "$metainfo")
    [ -x "$prefix/bin/$binary" ] || fail "the AppStream entry provides the program '$binary', which is not installed"
}
