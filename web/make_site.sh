#!/usr/bin/env bash
# Puts the site's files beside the built program and the web app manifest
# (which CMake writes): the page, with the worksheet's key points
# (docs/lessons/key_points.txt) in its list, the icons made from
# packaging/ostrivane.svg, and the service worker, which keeps them and whose
# cache is named after a hash of them.
#   web/make_site.sh SOURCE_DIR SITE_DIR
set -euo pipefail
source_dir=$1
site=$2
points=$(sed -n 's|^\([A-Z]\) \([-0-9.]*\) \([-0-9.]*\) .*|<li data-point="\1 \2 \3"></li>|p' \
    "$source_dir/docs/lessons/key_points.txt")
sed "s|@KEY_POINTS@|${points//$'\n'/}|" "$source_dir/web/index.html" >"$site/index.html"
for size in 192 512; do
    rsvg-convert --width "$size" --height "$size" --background-color black \
        -o "$site/icon-$size.png" "$source_dir/packaging/ostrivane.svg"
done
# The files the installed app keeps, which its cache's name follows.
files=(index.html ostrivane.js manifest.webmanifest icon-192.png icon-512.png)
hash=$(cd "$site" && cat "${files[@]}" "$source_dir/web/sw.js" | sha256sum | cut -c1-16)
list=$(printf "'%s', " "${files[@]}")
sed -e "s/@SITE_HASH@/$hash/" -e "s/@SITE_FILES@/${list%, }/" "$source_dir/web/sw.js" >"$site/sw.js"
