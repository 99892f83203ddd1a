#!/usr/bin/env bash
# Runs the whole test suite in three steps, each finished before the next:
#   1. installs what is missing: the Debian packages, freeglut's source (the
#      page's glyphs and the Windows build) and the npm packages of the
#      page's tests;
#   2. builds every preset whose toolchain is here (CMakePresets.json): the
#      desktop build with its tests, the handouts and the Debian package, then
#      the page (tools/web.sh) and the Windows program (tools/windows.sh),
#      then the release's downloads from those builds;
#   3. runs one ctest in build/desktop/, on a private Xvfb when no display is
#      set. Extra arguments go to ctest.
# Everything is written under build/. Test groups whose tools are missing are
# left out, each saying so in one line; OSTRIVANE_REQUIRE_ALL_TESTS=ON (as CI
# sets it) makes that an error.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$OSTRIVANE_ROOT

have() { command -v "$1" >/dev/null 2>&1; }
web=no windows=no
have emcmake && web=yes
have x86_64-w64-mingw32-g++ && have wine && windows=yes

ensure_packages run test
fetch_freeglut >/dev/null
! have node || bash "$root/tests/web/node.sh" --install

build_preset desktop -DOSTRIVANE_REQUIRE_ALL_TESTS="${OSTRIVANE_REQUIRE_ALL_TESTS:-OFF}"
make_deb
[ "$web" = no ] || bash "$root/tools/web.sh" --build
[ "$windows" = no ] || bash "$root/tools/windows.sh"
if [ "$web" = yes ] && [ "$windows" = yes ]; then
    OSTRIVANE_DIST_DIR=$root/build/desktop/dist bash "$root/tools/release.sh" --from-builds
fi

cd "$root/build/desktop"
with_display ctest --output-on-failure --parallel "$(nproc 2>/dev/null || echo 2)" "$@"
