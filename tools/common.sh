# Shared by the scripts of tools/ (run.sh, test.sh, windows.sh...): installs
# missing Debian packages and builds the project. Source it; do not run it.

OSTRIVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# fail MESSAGE...: says what went wrong, named by the script that sourced
# this file, and ends it.
fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

# project_version: the version of project() in CMakeLists.txt, the one that
# every download carries (CMake's builds read it as PROJECT_VERSION).
project_version() {
    local version
    version=$(sed -n 's/^project([[:alnum:]_]* VERSION \([0-9.]*\) .*/\1/p' "$OSTRIVANE_ROOT/CMakeLists.txt")
    [ -n "$version" ] || fail "no project(NAME VERSION x.y.z ...) line in $OSTRIVANE_ROOT/CMakeLists.txt"
    echo "$version"
}

# missing_packages KIND...: prints, one a line, every package of the lines
# "KIND: PACKAGE..." of tools/packages.txt that is not installed yet.
missing_packages() {
    local kinds=" $* " kind pkgs pkg
    while read -r kind pkgs; do
        [[ "$kinds" == *" ${kind%:} "* ]] || continue
        for pkg in $pkgs; do
            dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
        done
    done < "$OSTRIVANE_ROOT/tools/packages.txt" | sort -u
}

# ensure_packages KIND...: installs every package of tools/packages.txt whose
# kind is listed and that is not installed yet.
ensure_packages() {
    local missing=()
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Missing packages: ${missing[*]}; install them with your system's package manager." >&2
        return 1
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "Missing packages: ${missing[*]}; run as root or install sudo." >&2
            return 1
        fi
    fi
    echo "Installing missing Debian packages: ${missing[*]}"
    # A desktop's automatic updates may hold apt's locks for a while: install
    # waits for the lock, but update (apt 2.6) fails at once, so it is tried
    # again for up to five minutes.
    local tries=0
    until "${sudo[@]}" apt-get update -qq; do
        tries=$((tries + 1))
        if [ "$tries" -ge 60 ]; then
            echo "apt-get update kept failing; install the packages above by hand." >&2
            return 1
        fi
        sleep 5
    done
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
        "${missing[@]}" >/dev/null
}

# npm_install FOLDER NODE_DIR: the npm packages of FOLDER/package.json into
# NODE_DIR, exactly as FOLDER/package-lock.json pins them.
npm_install() {
    # A nodejs package may bring npm itself; Debian's comes without it.
    command -v npm >/dev/null 2>&1 || ensure_packages npm
    mkdir -p "$2"
    cp "$1/package.json" "$1/package-lock.json" "$2/"
    npm ci --prefix "$2" --no-audit --no-fund --silent
}

# build_preset NAME [CMAKE_ARGS...]: configures and builds one preset of
# CMakePresets.json, in build/NAME/.
build_preset() {
    local name=$1
    shift
    local log
    if ! log=$(cd "$OSTRIVANE_ROOT" && cmake --preset "$name" "$@" 2>&1); then
        echo "$log" >&2
        return 1
    fi
    # The one line of each test group left out, and any warning.
    sed -n -e 's/^-- \(Leaving out .*\)/\1/p' -e '/^CMake Warning/,/^$/p' <<<"$log"
    (cd "$OSTRIVANE_ROOT" && cmake --build --preset "$name" -j "$(nproc 2>/dev/null || echo 2)")
}

# make_deb: the Debian package of the desktop preset's build, by cpack, in
# build/desktop/package/ (the package tests and the release take it there).
make_deb() {
    cpack --config "$OSTRIVANE_ROOT/build/desktop/CPackConfig.cmake" -G DEB \
        -B "$OSTRIVANE_ROOT/build/desktop/package" >/dev/null
}

# with_display COMMAND...: runs the command on the current X display, or on a
# private Xvfb (large enough for a 1200x600 window) when there is none. The
# scenarios' driver starts its own for each program in the same way
# (VirtualDisplay in tests/e2e/x_driver.cpp).
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
        return
    fi
    local fifo status pid
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -noreset: otherwise the server resets when its last client leaves, and
    # a program connecting during the reset fails.
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    pid=$!
    local number
    read -r number < "$fifo"
    rm -f "$fifo"
    status=0
    DISPLAY=":$number" "$@" || status=$?
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return "$status"
}

# fetch_freeglut [DIR]: Debian's freeglut source package, unpacked in
# DIR/freeglut-<version>/ (default build/freeglut/ of the source tree) unless
# it is there already; prints that folder. The Windows build links freeglut
# built from it, and the page draws its glyphs from its font data. The
# machine's apt configuration is left as it is: the source package comes
# through a private source list and package lists in DIR/apt/.
fetch_freeglut() {
    local dir=${1:-$OSTRIVANE_ROOT/build/freeglut}
    mkdir -p "$dir"
    # One fetch at a time: the Windows and web builds may start together.
    (
        flock 9
        compgen -G "$dir/freeglut-*/src/fg_font_data.c" >/dev/null && exit 0
        local apt_dir=$dir/apt sources
        mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
        # The archive that apt already uses, for source packages.
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sources=$apt_dir/debian-src.sources
            sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
        elif grep -qs '^deb ' /etc/apt/sources.list; then
            sources=$apt_dir/debian-src.list
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$sources"
        else
            fail "no Debian archive found in /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list"
        fi
        local apt=(apt-get -q
            -o "Dir::Etc::SourceList=$sources" -o Dir::Etc::SourceParts=/nonexistent
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
        # apt's download sandbox user cannot write into a root-owned folder.
        [ "$(id -u)" -eq 0 ] && apt+=(-o APT::Sandbox::User=root)
        echo "Fetching Debian's freeglut source package into $dir" >&2
        "${apt[@]}" update >/dev/null
        (cd "$dir" && "${apt[@]}" source freeglut >/dev/null)
        compgen -G "$dir/freeglut-*/src/fg_font_data.c" >/dev/null ||
            fail "apt-get source freeglut left no freeglut-*/src/fg_font_data.c in $dir"
    ) 9>"$dir/.lock" || return 1
    dirname "$(dirname "$(compgen -G "$dir/freeglut-*/src/fg_font_data.c" | head -n 1)")"
}

# handouts: the folder that holds the two handouts, lessons.pdf (the
# teacher's copy) and worksheet.pdf (the students'), made if missing or out
# of date: by the desktop build when there is one (build/desktop/handout/),
# otherwise by docs/lessons/handout.sh into build/handout/.
handouts() {
    local desktop=$OSTRIVANE_ROOT/build/desktop dir=$OSTRIVANE_ROOT/build/handout
    if [ -f "$desktop/CMakeCache.txt" ] && cmake --build "$desktop" --target ostrivane_handout >/dev/null 2>&1; then
        echo "$desktop/handout"
    else
        bash "$OSTRIVANE_ROOT/docs/lessons/handout.sh" --out "$dir/lessons.pdf" >&2 || return 1
        echo "$dir"
    fi
}

# add_notices_and_worksheet DIR windows|web: the licence, the third-party
# notices of what the download holds and the students' worksheet, into a
# folder that students are given (the Windows zip, the web site). The
# teacher's copy, with the answers, is a download of its own.
add_notices_and_worksheet() {
    local from
    from=$(handouts) || return 1
    cp "$OSTRIVANE_ROOT/LICENSE" "$1/LICENSE"
    bash "$OSTRIVANE_ROOT/packaging/notices.sh" "$2" "$1/THIRD-PARTY-NOTICES.txt"
    cp "$from/worksheet.pdf" "$1/worksheet.pdf"
}
