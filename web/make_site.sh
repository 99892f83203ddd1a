#!/usr/bin/env bash
# Puts the site's files beside the built program and the web app manifest
# (which CMake writes): the page, the icons made from
# packaging/ostrivane.svg, and the service worker, whose cache is named
# after a hash of all the others.
#   web/make_site.sh SOURCE_DIR SITE_DIR
set -euo pipefail
source_dir=$1
site=$2
cp "$source_dir/web/index.html" "$site/index.html"
for size in 192 512; do
    rsvg-convert --width "$size" --height "$size" --background-color black \
        -o "$site/icon-$size.png" "$source_dir/packaging/ostrivane.svg"
done
hash=$(cd "$site" && cat index.html ostrivane.js manifest.webmanifest icon-192.png icon-512.png \
    "$source_dir/web/sw.js" | sha256sum | cut -c1-16)
sed "s/@SITE_HASH@/$hash/" "$source_dir/web/sw.js" >"$site/sw.js"
