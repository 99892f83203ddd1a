#!/usr/bin/env bash
# Opens URL in ENGINE (chromium, firefox or webkit) on $DISPLAY: a window of
# its own that is only the page, titled by it, 600x600 at (10, 10), with
# WebGL drawn in software, in a fresh profile that is removed afterwards.
#   tests/e2e/browser.sh ENGINE URL
set -euo pipefail
engine=$1 url=$2
profile=$(mktemp -d "${TMPDIR:-/tmp}/ostrivane-$engine.XXXXXX")
trap 'rm -rf "$profile"' EXIT
trap 'kill "$browser" 2>/dev/null' TERM INT
case $engine in
chromium)
    mapfile -t flags < <(grep '^--' "$(dirname "$0")/../web/chromium-flags.txt")
    # Beside a screen reader (the X driver's ScreenReader sets this), the
    # pages' accessibility too.
    [ "${ACCESSIBILITY_ENABLED:-}" = 1 ] && flags+=(--force-renderer-accessibility)
    chromium --app="$url" --window-size=600,600 --window-position=10,10 --user-data-dir="$profile" \
        "${flags[@]}" & ;;
firefox)
    # Firefox has no app mode: its toolbars are collapsed instead.
    mkdir "$profile/chrome"
    echo '#navigator-toolbox { visibility: collapse !important; }' >"$profile/chrome/userChrome.css"
    for pref in toolkit.legacyUserProfileCustomizations.stylesheets:true browser.tabs.inTitlebar:0 \
        webgl.force-enabled:true browser.shell.checkDefaultBrowser:false browser.aboutwelcome.enabled:false \
        browser.startup.homepage_override.mstone:'"ignore"' datareporting.policy.firstRunURL:'""' \
        datareporting.policy.dataSubmissionPolicyBypassNotification:true browser.newtab.preload:false \
        browser.newtabpage.enabled:false ui.key.menuAccessKeyFocuses:false; do
        echo "user_pref(\"${pref%%:*}\", ${pref#*:});"
    done >"$profile/user.js"
    echo '{"chrome://browser/content/browser.xhtml": {"main-window":
        {"width": "600", "height": "600", "sizemode": "normal"}}}' \
        >"$profile/xulstore.json"
    firefox-esr --no-remote --profile "$profile" "$url" & ;;
webkit)
    XDG_CACHE_HOME=$profile XDG_DATA_HOME=$profile /usr/bin/python3 - "$url" <<'EOF' &
import sys, gi
gi.require_versions({'Gtk': '3.0', 'WebKit2': '4.1'})
from gi.repository import Gtk, WebKit2
view = WebKit2.WebView()
view.get_settings().set_enable_webgl(True)
window = Gtk.Window(default_width=600, default_height=600)
window.move(10, 10)
window.add(view)
view.connect('notify::title', lambda v, _: window.set_title(v.get_title() or ''))
window.connect('destroy', Gtk.main_quit)
view.load_uri(sys.argv[1])
window.show_all()
view.grab_focus()
Gtk.main()
EOF
    ;;
*) echo "browser.sh: no engine is called $engine (chromium, firefox or webkit)" >&2; exit 2 ;;
esac
browser=$!
status=0
wait "$browser" || status=$?
# A stop signal ends the first wait at once: the profile goes once the browser has.
wait "$browser" 2>/dev/null || true
exit "$status"
