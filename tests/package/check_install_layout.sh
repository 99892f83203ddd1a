#!/usr/bin/env bash
# check_install_layout.sh SCRATCH_DIR: `cmake --install` of the build, under a
# prefix longer than a manual page's line, puts the documents where the manual
# page says and the page where man finds it; DESTDIR stages the same tree.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
need_tools "$CMAKE" groff gzip man appstreamcli

prefix=$scratch/a-prefix-longer-than-a-line-of-the-manual-page/$(printf 'x%.0s' {1..40})/ostrivane
log=$("$CMAKE" --install "$BUILD_DIR" --prefix "$prefix" 2>&1) || fail "cmake --install failed: $log"
[ -x "$prefix/bin/ostrivane" ] || fail "no program $prefix/bin/ostrivane"
check_tree "$prefix" "$prefix"
[ "$(man -M "$prefix/share/man" -w ostrivane 2>/dev/null)" = "$prefix/share/man/man1/ostrivane.1.gz" ] ||
    fail "man does not find ostrivane(1) under $prefix/share/man"

log=$(DESTDIR="$scratch/stage" "$CMAKE" --install "$BUILD_DIR" --prefix /opt/ostrivane 2>&1) ||
    fail "cmake --install with DESTDIR failed: $log"
check_tree "$scratch/stage/opt/ostrivane" /opt/ostrivane
rm -rf "$scratch"
echo "install layout ok (prefix of ${#prefix} characters)"
