#!/usr/bin/env bash
# Makes Ostrivane for Windows on Debian: installs what is missing (MinGW-w64,
# Wine, ImageMagick, zip...), builds freeglut statically from Debian's own
# freeglut source package, cross-builds the program and packs the zip:
#
#   build/windows/ostrivane.exe
#   build/windows/ostrivane-<version>-win64.zip   ostrivane.exe, README.txt, LICENSE,
#                         THIRD-PARTY-NOTICES.txt, worksheet.pdf
#
# The program is the windows preset's build (build/windows/), the static
# freeglut is installed in build/windows-freeglut/; freeglut's source is
# fetched once into build/freeglut/, which the web build shares
# (fetch_freeglut of tools/common.sh). The suite checks them under Wine
# (bash tools/test.sh, label "windows").
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

build_dir=$OSTRIVANE_ROOT/build/windows
freeglut_prefix=$OSTRIVANE_ROOT/build/windows-freeglut

ensure_packages windows

# build_freeglut: the static library for MinGW-w64, installed into
# build/windows-freeglut/, unless it is there already. As a replacement for
# GLUT it installs GL/glut.h and names its library libglut.a.
build_freeglut() {
    if [ -f "$freeglut_prefix/lib/libglut.a" ]; then
        return
    fi
    local src work=$freeglut_prefix-build
    src=$(fetch_freeglut)
    echo "Building freeglut for Windows (static) from $src"
    # freeglut's own sources build with a few warnings of their own; they go
    # to a log, shown if the build fails.
    local log=$work/build.log
    mkdir -p "$work"
    if ! {
        cmake -S "$src" -B "$work" \
            -DCMAKE_TOOLCHAIN_FILE="$OSTRIVANE_ROOT/windows/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$freeglut_prefix" \
            -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
            -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_REPLACE_GLUT=ON &&
            cmake --build "$work" -j 2 &&
            cmake --install "$work"
    } >"$log" 2>&1; then
        cat "$log" >&2
        fail "building freeglut failed (log above, in $log)"
    fi
}

build_freeglut

build_preset windows -DFreeGLUT_DIR="$freeglut_prefix/lib/cmake/FreeGLUT"

# The zip.
zip_name=ostrivane-$(project_version)-win64.zip
stage=$build_dir/zip
rm -rf "$stage"
mkdir -p "$stage"
cp "$build_dir/ostrivane.exe" "$build_dir/README.txt" "$stage/"
add_notices_and_worksheet "$stage" windows
rm -f "$build_dir/$zip_name"
(cd "$stage" && zip -q -X "$build_dir/$zip_name" ./*)
echo "Made $build_dir/ostrivane.exe and $build_dir/$zip_name"
