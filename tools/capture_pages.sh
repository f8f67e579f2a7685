#!/usr/bin/env bash
# tools/capture_pages.sh: starts the launcher on a private Xvfb, in the Wine prefix .wine/pages whose
# desktop holds a few sample shortcuts, clicks each of the three tabs as a user would (xdotool) and
# saves the window with that page shown: docs/page-programs.png, docs/page-files.png and
# docs/page-private.png.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TITLE="Nivvo桌面管理"

DALVORIN_EXTRA_PACKAGES=xdotool "$ROOT/cmake/setup.sh" Dalvorin wait_window make_shortcut desktop_hold

# shellcheck source=cmake/wine-env.sh
source "$ROOT/cmake/wine-env.sh" pages
# shellcheck source=cmake/sample-desktop.sh
source "$ROOT/cmake/sample-desktop.sh"
wine_env_lock
trap wine_cleanup EXIT
wine_start_xvfb
wine_ensure_prefix
wine_start_desktop
wine_seed_desktop "$ROOT/build/bin/make_shortcut.exe"

cd "$ROOT/build/bin"
wine ./Dalvorin.exe >"$WINE_STATE/program.log" 2>&1 &
if ! wine ./wait_window.exe "$TITLE" 120 >/dev/null 2>&1; then
    echo "The window \"$TITLE\" did not appear within 120 s (Wine output: $WINE_STATE/program.log)." >&2
    exit 1
fi
window=$(xdotool search --name "^$TITLE\$" | head -n 1)
xdotool windowmove --sync "$window" 0 0 || true
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry:/ { print $2 }')

# The tab headers' centres in the window (the window opens at the screen's top left corner).
TAB_CENTRES=("78 137" "160 137" "242 137")
NAMES=(programs files private)
for i in 0 1 2; do
    read -r x y <<<"${TAB_CENTRES[i]}"
    xdotool mousemove "$x" "$y"
    sleep 0.3
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
    xdotool mousemove 300 700 # off the window, so nothing is lit
    sleep 1
    import -window root "$WINE_STATE/screen.png"
    convert "$WINE_STATE/screen.png" -crop "$geometry+0+0" +repage -strip \
        -define png:exclude-chunks=date,time "$ROOT/docs/page-${NAMES[i]}.png"
    echo "$ROOT/docs/page-${NAMES[i]}.png"
done
