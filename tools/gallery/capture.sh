#!/usr/bin/env bash
# tools/gallery/capture.sh: builds gallery.exe and takes its three views on a private Xvfb, in the
# Wine prefix .wine/gallery: docs/gallery-buttons.png, docs/gallery-menu-classic.png and
# docs/gallery-menu-flat.png, each cropped to the area the program names as worth showing.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

"$ROOT/cmake/setup.sh" gallery desktop_hold

# shellcheck source=cmake/wine-env.sh
source "$ROOT/cmake/wine-env.sh" gallery
wine_env_lock
trap wine_cleanup EXIT
wine_start_xvfb
wine_ensure_prefix
wine_start_desktop

SIGNALS=$WINE_STATE/signals
SCREEN=$WINE_STATE/screen.png
mkdir -p "$ROOT/docs"
cd "$ROOT/build/bin"

# capture VIEW NAME: runs gallery.exe VIEW, waits (at most 120 s) until it says the view is on
# screen, saves docs/gallery-NAME.png, then lets the program end (at most 30 s more).
capture() {
    local view=$1 name=$2 pid _
    rm -rf "$SIGNALS"
    mkdir -p "$SIGNALS"
    wine ./gallery.exe "$view" "$(winepath -w "$SIGNALS")" >"$WINE_STATE/gallery-$view.log" 2>&1 &
    pid=$!
    for _ in $(seq 600); do
        [ -s "$SIGNALS/ready" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if [ ! -s "$SIGNALS/ready" ]; then
        wine_env_log "gallery.exe $view did not get ready (Wine output: $WINE_STATE/gallery-$view.log)"
        kill "$pid" 2>/dev/null || true
        return 1
    fi
    import -window root "$SCREEN"
    touch "$SIGNALS/done"
    # No time stamps in the file: the picture changes only when the looks do.
    convert "$SCREEN" -crop "$(tr -d '\r\n' <"$SIGNALS/ready")" +repage -strip \
        -define png:exclude-chunks=date,time "$ROOT/docs/gallery-$name.png"
    echo "$ROOT/docs/gallery-$name.png"
    for _ in $(seq 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        wine_env_log "gallery.exe $view did not end; stopping it"
        kill "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

capture buttons buttons
capture classic menu-classic
capture flat menu-flat
