# Shared by tools/run.sh and tools/test.sh: installs missing Debian packages
# and builds the project. Source it; do not run it.

OSTRIVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# ensure_packages KIND...: installs every package of tools/packages.txt whose
# kind is listed and that is not installed yet.
ensure_packages() {
    local kinds=" $* " missing=() kind pkg
    while read -r kind pkg; do
        case "$kind" in ''|'#'*) continue ;; esac
        [[ "$kinds" == *" $kind "* ]] || continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done < "$OSTRIVANE_ROOT/tools/packages.txt"
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
    # Other installs may hold dpkg's lock for a while: wait for it.
    local wait=(-o DPkg::Lock::Timeout=600)
    "${sudo[@]}" apt-get "${wait[@]}" update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait[@]}" install -y -qq "${missing[@]}" >/dev/null
}

# build_project BUILD_DIR [CMAKE_ARGS...]: configures and builds.
build_project() {
    local dir=$1
    shift
    cmake -S "$OSTRIVANE_ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)"
}

# with_display COMMAND...: runs the command on the current X display, or on a
# private Xvfb (large enough for a 1200x600 window) when there is none.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
        return
    fi
    local fifo status pid
    fifo=$(mktemp -u)
    mkfifo "$fifo"
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
