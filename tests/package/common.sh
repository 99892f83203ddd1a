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

# check_tree PREFIX VERSION: an installed Ostrivane under PREFIX (bin/,
# share/) has a runnable program, a valid launcher that starts it by name and
# names the icon that is there, an SVG icon and a manual page that renders
# without warnings and carries VERSION.
check_tree() {
    local prefix=$1 version=$2
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
}
