#!/usr/bin/env bash
# check_install.sh BUILD_DIR SCRATCH_DIR VERSION: `cmake --install` of the
# build puts the program, launcher, icon, manual page, software centre entry
# and documents where the desktop, man and software centres look for them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_dir=$1 scratch=$2 version=$3
cmake=${CMAKE:-cmake}

need_tools "$cmake" desktop-file-validate xmllint groff gzip man appstreamcli

rm -rf "$scratch"
prefix=$scratch/prefix
log=$("$cmake" --install "$build_dir" --prefix "$prefix" 2>&1) || fail "cmake --install failed: $log"

check_tree "$prefix" "$version"

# man finds the page in the prefix by name, as it will after installation.
[ "$(man -M "$prefix/share/man" -w ostrivane 2>/dev/null)" = "$prefix/share/man/man1/ostrivane.1.gz" ] ||
    fail "man does not find ostrivane(1) under $prefix/share/man"

# DESTDIR stages the same tree under another root, as packagers use it.
log=$(DESTDIR="$scratch/stage" "$cmake" --install "$build_dir" --prefix /opt/ostrivane 2>&1) ||
    fail "cmake --install with DESTDIR failed: $log"
check_tree "$scratch/stage/opt/ostrivane" "$version" /opt/ostrivane

rm -rf "$scratch"
echo "install layout ok"
