#!/usr/bin/env bash
# wine-run.sh EXE [ARGS...]: starts a Windows program under Debian's Wine, as
# the Windows checks do, and becomes that program (exec): its process id is
# the one to signal, and it ends when the program's window is closed.
#
# The Wine prefix (Wine's own C: drive and registry) is kept beside the
# program, in wineprefix/ of the folder that holds EXE (for the build,
# build-windows/wineprefix), or wherever OSTRIVANE_WINEPREFIX says. It is made
# on first use (some 700 MB, some ten seconds), under a lock so that checks
# started together make it once. Nothing asks a question: Wine's offers to
# install Mono and Gecko and its menu entries are switched off. Wine's own
# messages are silenced where it allows it; what remains goes to standard error.
#
# OSTRIVANE_WINE_PERSIST=SECONDS keeps Wine's server and its own services
# running that long after the program ends, so that the next start takes two
# or three seconds instead of eight (tests that start the program one after
# another; the server works for any X display). "wineserver -k" with the same
# WINEPREFIX ends it at once.
#
# DISPLAY is used as it is. The command is "wine" (Debian's wine and wine64
# packages; there is no "wine64" command).
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 EXE [ARGS...]" >&2
    exit 2
fi
exe=$1
shift
if [ ! -f "$exe" ]; then
    echo "$0: no such program: $exe" >&2
    exit 2
fi
if ! command -v wine >/dev/null 2>&1; then
    echo "$0: wine was not found. On Debian or Ubuntu install it with: sudo apt-get install wine wine64" >&2
    exit 2
fi

exe_dir=$(cd "$(dirname "$exe")" && pwd)
export WINEPREFIX=${OSTRIVANE_WINEPREFIX:-$exe_dir/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
# mscoree and mshtml: no offer to install Mono and Gecko; winemenubuilder: no
# menu entries or file associations written into the user's desktop.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot --init >/dev/null 2>&1
            # wineboot returns before the prefix is written out; the server
            # ends once it is.
            wineserver --wait
        fi
    ) 9>"$WINEPREFIX.lock"
fi

if [ -n "${OSTRIVANE_WINE_PERSIST:-}" ]; then
    # Fails harmlessly when the server is running already.
    wineserver -p "$OSTRIVANE_WINE_PERSIST" 2>/dev/null || true
fi

exec wine "$exe" "$@"
