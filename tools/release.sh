#!/usr/bin/env bash
# Makes every download of one release into dist/, all under the version of
# project() in CMakeLists.txt, from the commit checked out:
#
#   ostrivane_<version>_amd64.deb      the Debian package (cpack)
#   ostrivane-<version>-win64.zip      the Windows program (tools/windows.sh)
#   ostrivane-<version>-web.zip        the site folder (tools/web.sh --build)
#   ostrivane-<version>-lessons.pdf    the teacher's copy, with the answers
#   ostrivane-<version>-worksheet.pdf  the students' worksheet
#   ostrivane-<version>.tar.gz         the source of the commit (git archive)
#   SHA256SUMS                         checksums of every file above
#
#   bash tools/release.sh                installs what is missing, builds, packs
#   bash tools/release.sh --from-builds  packs the build folders as they are
#
# The builds are the presets' (CMakePresets.json): build/desktop/ (with its
# Debian package in build/desktop/package/ and its handouts),
# build/windows/ and build/web/, reused when they are there. --from-builds
# builds nothing and stops when a piece is missing, so that tools/test.sh
# can pack what it built. OSTRIVANE_DIST_DIR chooses another output folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$OSTRIVANE_ROOT

from_builds=no
case "${1:-}" in
    '') ;;
    --from-builds) from_builds=yes ;;
    -h|--help) sed -n '2,19p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "tools/release.sh: unknown option $1 (use --from-builds or nothing)" >&2; exit 2 ;;
esac

build_dir=$root/build/desktop
windows_dir=$root/build/windows
web_dir=$root/build/web
dist=$(realpath -m "${OSTRIVANE_DIST_DIR:-$root/dist}")

# piece WHAT COMMAND...: runs one step, and stops with its name if it fails.
piece() {
    local what=$1
    shift
    "$@" || fail "making $what failed (its messages are above); dist/ was left as it was"
}

if [ "$from_builds" = no ]; then
    piece "the packages ready" ensure_packages run release windows web
fi
command -v git >/dev/null 2>&1 || fail "git is needed for the source archive (sudo apt-get install git)"
git -C "$root" rev-parse --git-dir >/dev/null 2>&1 ||
    fail "$root is not a git checkout: the source archive is made from a commit"
commit=$(git -C "$root" rev-parse HEAD)
echo "Making the release of commit $commit ($(git -C "$root" log -1 --format=%s "$commit"))"
if [ -n "$(git -C "$root" status --porcelain)" ]; then
    echo "Warning: the work tree has uncommitted changes; the builds contain them, the source archive does not." >&2
fi

version=$(project_version)

if [ "$from_builds" = no ]; then
    piece "the desktop build" build_preset desktop
    piece "the Debian package" make_deb
    piece "the Windows zip" bash "$root/tools/windows.sh"
    piece "the site" bash "$root/tools/web.sh" --build
fi

# Every build must be of this version: one made before the version changed
# holds no download of this name, or a site of another version.
[ -f "$build_dir/CPackConfig.cmake" ] || fail "no build in $build_dir: run bash tools/release.sh without --from-builds"
win_zip=$windows_dir/ostrivane-$version-win64.zip
site=$web_dir/site
[ -f "$win_zip" ] || fail "no $win_zip: run bash tools/windows.sh"
grep -qs "\"version\": \"$version\"" "$site/manifest.webmanifest" ||
    fail "no site of version $version in $site: run bash tools/web.sh --build"
handouts=("$build_dir/handout/lessons.pdf" "$build_dir/handout/worksheet.pdf")
for pdf in "${handouts[@]}"; do
    [ -f "$pdf" ] || fail "no handout $pdf: run bash tools/release.sh without --from-builds"
done

# Everything is made in a new folder that replaces dist/ only when complete.
stage=$(mktemp -d "$(dirname "$dist")/.dist-XXXXXX")
trap 'rm -rf "$stage"' EXIT

arch=$(dpkg --print-architecture 2>/dev/null) || fail "dpkg is needed for the Debian package"
deb=$build_dir/package/ostrivane_${version}_$arch.deb
[ -f "$deb" ] || fail "no Debian package $deb: run bash tools/release.sh without --from-builds"
cp "$deb" "$stage/"

cp "$win_zip" "$stage/"
(cd "$site" && zip -q -r -X "$stage/ostrivane-$version-web.zip" .) || fail "could not zip the site $site"
for pdf in "${handouts[@]}"; do
    cp "$pdf" "$stage/ostrivane-$version-$(basename "$pdf")"
done
git -C "$root" archive --format=tar.gz --prefix="ostrivane-$version/" \
    -o "$stage/ostrivane-$version.tar.gz" "$commit" || fail "git archive failed"

made=()
for file in "$stage"/*; do made+=("$(basename "$file")"); done
(cd "$stage" && sha256sum -- "${made[@]}" >SHA256SUMS) || fail "could not write SHA256SUMS"

rm -rf "$dist"
mv "$stage" "$dist"
chmod 755 "$dist"
trap - EXIT
echo "Made $dist from ${commit:0:12}, Ostrivane $version: ${made[*]} SHA256SUMS"
