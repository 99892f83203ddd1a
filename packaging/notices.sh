#!/usr/bin/env bash
# notices.sh windows|web OUT: writes the third-party notices of a download
# into OUT, from the licence texts of what it is made of: the fetched freeglut
# source package (fetch_freeglut of tools/common.sh) and the copyright files
# of the installed Debian packages.
#   windows  ostrivane.exe links freeglut, the MinGW-w64 runtime and GCC's
#            runtime libraries statically.
#   web      ostrivane.js holds freeglut's font data, and Emscripten's runtime
#            with its libc (from musl), compiler-rt, libc++ and libc++abi.
# The Debian package needs none: it links freeglut and GL as shared libraries.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
target=$1 out=$2
freeglut=$(fetch_freeglut)

# package_version NAME: the installed version of a Debian package.
package_version() {
    dpkg-query -W -f='${Version}' "$1" 2>/dev/null || fail "the Debian package $1 is not installed"
}

# heading TEXT: a heading, underlined.
heading() {
    printf '\n\n%s\n%s\n\n' "$1" "$(sed 's/./=/g' <<<"$1")"
}

# licence_paragraph FILE NAME: the text of the stand-alone License paragraph
# NAME of a Debian copyright file, unindented.
licence_paragraph() {
    awk -v RS= -v name="$2" 'index($0, "License: " name "\n") == 1' "$1" | tail -n +2 | sed 's/^ //; s/^\.$//'
}

case $target in
windows)
    mingw=/usr/share/doc/mingw-w64-x86-64-dev/copyright
    [ -f "$mingw" ] || fail "no $mingw: install mingw-w64-x86-64-dev (bash tools/windows.sh does)"
    {
        echo "ostrivane.exe: third-party notices"
        echo
        echo "Ostrivane is under the MIT licence in LICENSE. ostrivane.exe also holds,"
        echo "linked in statically, code of the projects below, each under its licence."
        heading "freeglut $(basename "$freeglut" | sed 's/^freeglut-//')"
        echo "The copyright lines of freeglut's sources:"
        echo
        grep -rhi '^ *\*\? *\(portions \)\?copyright (c)' "$freeglut/src" | sed 's/^ *\* *//' | sort -u
        echo
        echo "and its licence (its file COPYING):"
        echo
        cat "$freeglut/COPYING"
        heading "The MinGW-w64 runtime $(package_version mingw-w64-x86-64-dev)"
        echo "The program's start-up code and C runtime helpers (number formatting and"
        echo "scanning, mathematics), under the licences of Debian's copyright file of"
        echo "the package mingw-w64-x86-64-dev:"
        echo
        cat "$mingw"
        heading "GCC's runtime libraries $(package_version gcc-mingw-w64-x86-64-win32)"
        echo "libgcc (and libstdc++ where the program uses it) is under the GNU General"
        echo "Public License with the GCC Runtime Library Exception, which sets no"
        echo "condition on a program compiled with GCC."
    } >"$out"
    ;;
web)
    emscripten=/usr/share/doc/emscripten/copyright
    musl=/usr/share/emscripten/system/lib/libc/musl/COPYRIGHT
    [ -f "$emscripten" ] && [ -f "$musl" ] || fail "no $emscripten or $musl: install emscripten (bash tools/web.sh does)"
    {
        echo "The Ostrivane page (ostrivane.js): third-party notices"
        echo
        echo "Ostrivane is under the MIT licence in LICENSE. The page's program,"
        echo "ostrivane.js, also holds data and code of the projects below."
        heading "freeglut's font data"
        echo "The page draws its text with the Helvetica 10 bitmaps of freeglut's"
        echo "src/fg_font_data.c ($(basename "$freeglut")), whose notice reads:"
        echo
        sed '/^#include/,$d' "$freeglut/src/fg_font_data.c"
        heading "Emscripten $(package_version emscripten)"
        echo "The JavaScript that loads and runs the program, its memory allocator"
        echo "(emmalloc) and its C library. Emscripten is available under the MIT"
        echo "licence and the University of Illinois/NCSA licence; it is used here under"
        echo "the MIT licence:"
        echo
        awk -v RS= '/^Files:\n \*\n/' "$emscripten" | sed -n '/^Copyright:/,/^[A-Z]/p' | sed -n 's/^  */Copyright /p'
        echo
        licence_paragraph "$emscripten" Expat
        heading "musl"
        echo "Emscripten's C library is built from musl (number formatting and"
        echo "scanning); musl's notice (its file COPYRIGHT):"
        echo
        cat "$musl"
        heading "LLVM's compiler-rt, libc++ and libc++abi"
        echo "Under the Apache License 2.0 with LLVM Exceptions, which asks for no"
        echo "notice of their code compiled into a program."
    } >"$out"
    ;;
*) fail "no download is called $target (windows or web)" ;;
esac
