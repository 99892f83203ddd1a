#!/usr/bin/env bash
# check-imports.sh EXE: checks that a Windows program runs on a bare Windows:
# it imports DLLs from Windows' own set only (no MinGW runtime such as
# libstdc++-6.dll, libgcc_s_seh-1.dll or libwinpthread-1.dll, no freeglut.dll),
# and it is a GUI-subsystem program, which opens no console window.
# Reads the PE headers with MinGW-w64's objdump (binutils-mingw-w64-x86-64).
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 EXE" >&2
    exit 2
fi
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
if ! command -v "$objdump" >/dev/null 2>&1; then
    echo "$0: $objdump was not found. On Debian or Ubuntu install it with: sudo apt-get install binutils-mingw-w64-x86-64" >&2
    exit 2
fi

headers=$("$objdump" -p "$1")

# DLLs that every Windows since Vista carries in System32, and the API sets
# that stand for parts of them.
own='^(advapi32|comctl32|comdlg32|crypt32|dwmapi|gdi32|glu32|imm32|kernel32|msvcrt|ntdll|ole32|oleaut32|opengl32|setupapi|shell32|shlwapi|user32|uxtheme|version|winmm|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'

status=0
dlls=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers")
if [ -z "$dlls" ]; then
    echo "$1: no imported DLL found; is it a Windows program?" >&2
    status=1
fi
while read -r dll; do
    [ -n "$dll" ] || continue
    if ! grep -Eqi "$own" <<<"$dll"; then
        echo "$1 imports $dll, which is not part of Windows" >&2
        status=1
    fi
done <<<"$dlls"

subsystem=$(sed -n 's/^Subsystem[[:space:]]*//p' <<<"$headers")
if [[ "$subsystem" != *"(Windows GUI)"* ]]; then
    echo "$1 is not a GUI-subsystem program (Subsystem ${subsystem:-not found}): Windows opens a console window beside it" >&2
    status=1
fi

[ "$status" -eq 0 ] && echo "$1: imports only Windows' own DLLs ($(tr '\n' ' ' <<<"$dlls" | sed 's/ $//')); Windows GUI subsystem"
exit "$status"
