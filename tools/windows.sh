#!/usr/bin/env bash
# Makes Ostrivane for Windows on Debian: installs what is missing (MinGW-w64,
# Wine, ImageMagick, zip...), builds freeglut statically from Debian's own
# freeglut source package, cross-builds the program and packs the zip:
#
#   build-windows/ostrivane.exe
#   build-windows/ostrivane-<version>-win64.zip   ostrivane.exe, README.txt,
#                                                  LICENSE, lessons.pdf, worksheet.pdf
#
# Everything it fetches or builds stays in build-windows/; freeglut's source
# is fetched once and kept there. The machine's apt configuration is left as
# it is: the source package comes through a private source list and package
# lists in build-windows/freeglut-src/apt/.
#
# Then: ctest --test-dir build-windows -L windows   (the checks under Wine)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

build_dir=$OSTRIVANE_ROOT/build-windows
freeglut_src=$build_dir/freeglut-src
freeglut_prefix=$build_dir/freeglut

ensure_packages windows

# fetch_freeglut: Debian's freeglut source package, unpacked in
# build-windows/freeglut-src/freeglut-<version>/, unless it is there already.
fetch_freeglut() {
    if compgen -G "$freeglut_src/freeglut-*/CMakeLists.txt" >/dev/null; then
        return
    fi
    local apt_dir=$freeglut_src/apt sources
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    # The archive that apt already uses, for source packages.
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sources=$apt_dir/debian-src.sources
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
    elif grep -qs '^deb ' /etc/apt/sources.list; then
        sources=$apt_dir/debian-src.list
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$sources"
    else
        echo "tools/windows.sh: no Debian archive found in /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list" >&2
        return 1
    fi
    local apt=(apt-get -q
        -o "Dir::Etc::SourceList=$sources" -o Dir::Etc::SourceParts=/nonexistent
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
    # apt's download sandbox user cannot write into a root-owned build folder.
    [ "$(id -u)" -eq 0 ] && apt+=(-o APT::Sandbox::User=root)
    echo "Fetching Debian's freeglut source package into $freeglut_src"
    "${apt[@]}" update >/dev/null
    (cd "$freeglut_src" && "${apt[@]}" source freeglut >/dev/null)
    if ! compgen -G "$freeglut_src/freeglut-*/CMakeLists.txt" >/dev/null; then
        echo "tools/windows.sh: apt-get source freeglut left no freeglut-*/ in $freeglut_src" >&2
        return 1
    fi
}

# build_freeglut: the static library for MinGW-w64, installed into
# build-windows/freeglut/, unless it is there already. As a replacement for
# GLUT it installs GL/glut.h and names its library libglut.a.
build_freeglut() {
    if [ -f "$freeglut_prefix/lib/libglut.a" ]; then
        return
    fi
    local src
    src=$(dirname "$(compgen -G "$freeglut_src/freeglut-*/CMakeLists.txt" | head -n 1)")
    echo "Building freeglut for Windows (static) from $src"
    # freeglut's own sources build with a few warnings of their own; they go
    # to a log, shown if the build fails.
    local log=$freeglut_src/build.log
    if ! {
        cmake -S "$src" -B "$freeglut_src/build" \
            -DCMAKE_TOOLCHAIN_FILE="$OSTRIVANE_ROOT/windows/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$freeglut_prefix" \
            -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
            -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_REPLACE_GLUT=ON &&
            cmake --build "$freeglut_src/build" -j 2 &&
            cmake --install "$freeglut_src/build"
    } >"$log" 2>&1; then
        cat "$log" >&2
        echo "tools/windows.sh: building freeglut failed (log above, in $log)" >&2
        return 1
    fi
}

fetch_freeglut
build_freeglut

build_project "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$OSTRIVANE_ROOT/windows/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DFreeGLUT_DIR="$freeglut_prefix/lib/cmake/FreeGLUT"
bash "$OSTRIVANE_ROOT/windows/check-imports.sh" "$build_dir/ostrivane.exe"

# The zip.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
zip_name=ostrivane-$version-win64.zip
stage=$build_dir/zip
rm -rf "$stage"
mkdir -p "$stage"
cp "$build_dir/ostrivane.exe" "$build_dir/README.txt" "$stage/"
add_licence_and_handout "$stage" "$build_dir/handout"
rm -f "$build_dir/$zip_name"
(cd "$stage" && zip -q -X "$build_dir/$zip_name" ./*)
echo "Made $build_dir/ostrivane.exe and $build_dir/$zip_name"
