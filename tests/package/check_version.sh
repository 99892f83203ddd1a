#!/usr/bin/env bash
# check_version.sh SCRATCH_DIR: the newest released section of CHANGELOG.md
# (after the "Unreleased" one, which gathers the work since and becomes the
# next version when it is released) and the newest release of the AppStream
# entry are this version, of its date.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
need_tools xmllint
first=$(grep -m 1 '^## \[' "$SOURCE_DIR/CHANGELOG.md" || true)
newest=$(grep '^## \[' "$SOURCE_DIR/CHANGELOG.md" | grep -v -m 1 '^## \[Unreleased\]$' || true)
[ "$first" = "## [Unreleased]" ] || [ "$first" = "$newest" ] ||
    fail "CHANGELOG.md begins with '$first', neither '## [Unreleased]' nor a version"
[ "$newest" = "## [$VERSION] - $DATE" ] || fail "CHANGELOG.md's newest section is '$newest', not version $VERSION with its date"
metainfo=$BUILD_DIR/org.ostrivane.ostrivane.metainfo.xml
release=$(xmllint --xpath 'concat(//releases/release[1]/@version, " ", //releases/release[1]/@date)' "$metainfo")
[ "$release" = "$VERSION $DATE" ] || fail "the AppStream entry's newest release is '$release', not $VERSION of $DATE"
echo "version $VERSION of $DATE, in the changelog and the AppStream entry"
