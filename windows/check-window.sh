#!/usr/bin/env bash
# check-window.sh EXE ICO: starts the Windows program under Wine
# (wine-run.sh) on a private Xvfb and checks what only the Windows build
# brings: its window opens, titled "Ostrivane", with a 600x600 drawing area;
# the window carries the program's own icon (the 32x32 image of ICO, which the
# build made and linked in as a resource), not Wine's stand-in; and Alt+F4,
# typed through XTest, closes the window and ends the program with status 0.
# What the program draws and how it answers clicks and keys is checked by the
# end-to-end tests.
#
# Needs wine, Xvfb, xdotool, xprop and xwininfo (x11-utils) and ImageMagick.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -f "$2" ]; then
    echo "usage: $0 EXE ICO" >&2
    exit 2
fi
exe=$1
ico=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for tool in Xvfb xdotool xprop xwininfo convert wine; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: $tool was not found; bash tools/windows.sh installs what the Windows checks need" >&2
        exit 2
    fi
done

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
    local status=$?
    local pid
    for pid in $program_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$work/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display_number <"$work/displayfd"
export DISPLAY=:$display_number

# Wine's first start in a new prefix takes some ten seconds, longer on a busy
# machine; its own messages (and freeglut's "CreateDC failed") go to a log.
# In a session of its own: Wine signals its whole process group on the way out.
setsid bash "$here/wine-run.sh" "$exe" >"$work/wine.log" 2>&1 &
program_pid=$!

window=
for _ in $(seq 1 900); do
    window=$(xdotool search --all --pid "$program_pid" --name '^Ostrivane$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || { cat "$work/wine.log" >&2; fail "the program ended before its window opened"; }
    sleep 0.1
done
[ -n "$window" ] || { cat "$work/wine.log" >&2; fail "no window titled Ostrivane within 90 s"; }

# Under Wine without a window manager the top-level X window is the drawing
# area; the Windows frame around it is not an X window. Wine maps the window
# and gives it its size just after creating it.
size=
for _ in $(seq 1 100); do
    info=$(xwininfo -id "$window")
    size=$(sed -n 's/^ *-geometry \([0-9]*x[0-9]*\).*/\1/p' <<<"$info")
    [ "$size" = 600x600 ] && grep -q 'IsViewable' <<<"$info" && break
    sleep 0.1
done
[ "$size" = 600x600 ] || fail "the window's drawing area is $size, not 600x600"

# The window's icon as Wine hands it to X (_NET_WM_ICON: width, height, then
# one ARGB value a pixel) against the icon made for the build. Fully
# transparent pixels may carry any colour.
# Wine sets it just after the window appears.
for _ in $(seq 1 100); do
    xprop -id "$window" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= *//' | tr ',' '\n' | tr -d ' ' >"$work/x11-icon"
    [ "$(wc -l <"$work/x11-icon")" -gt 2 ] && break
    sleep 0.1
done
[ "$(sed -n 1,2p "$work/x11-icon" | tr '\n' x)" = 32x32x ] || fail "the window carries no 32x32 icon"
index=$(convert "$ico" -format '%p %w\n' info: | awk '$2 == 32 { print $1; exit }')
[ -n "$index" ] || fail "$ico holds no 32x32 image"
convert "${ico}[$index]" -depth 8 rgba:- | od -An -v -tu1 -w4 >"$work/ico-pixels"
differing=$(sed -n '3,1026p' "$work/x11-icon" | paste - "$work/ico-pixels" | awk '
    NF != 5 { bad++; next }
    {
        v = $1; a = int(v / 16777216) % 256; r = int(v / 65536) % 256; g = int(v / 256) % 256; b = v % 256
        if (a != $5 || ($5 > 0 && (r != $2 || g != $3 || b != $4))) bad++
    }
    END { print bad + 0 }')
[ "$differing" -eq 0 ] || fail "the window's icon differs from $ico in $differing of 1024 pixels (is the icon resource named GLUT_ICON?)"

# Alt+F4 with the pointer over the window (no window manager: the keyboard
# follows the pointer) closes it, and closing the window ends the program.
xdotool mousemove --sync 300 300
sleep 0.5
xdotool key alt+F4
status=
for _ in $(seq 1 300); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
        status=0
        wait "$program_pid" || status=$?
        program_pid=
        break
    fi
    sleep 0.1
done
[ -n "$status" ] || fail "the program was still running 30 s after Alt+F4"
[ "$status" -eq 0 ] || fail "the program ended with status $status after Alt+F4"
echo "ok: window Ostrivane 600x600 with the program's icon; Alt+F4 ends the program"
