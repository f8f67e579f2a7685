#!/usr/bin/env bash
# ./run.sh: installs what is missing, builds Dalvorin.exe and starts it under Wine.
# With a working X display the window appears there and the command returns once it is closed.
# Without one, the program runs on a private Xvfb: the command saves build/screenshot.png of the
# main window, prints its path, and closes the program again.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TITLE="Nivvo桌面管理"
EXE=$ROOT/build/bin/Dalvorin.exe

"$ROOT/cmake/setup.sh" Dalvorin wait_window make_shortcut

display_works() {
    [ -n "${DISPLAY:-}" ] || return 1
    if command -v xdpyinfo >/dev/null 2>&1; then
        xdpyinfo >/dev/null 2>&1
        return
    fi
    case $DISPLAY in
    :*)
        local number=${DISPLAY#:}
        [ -S "/tmp/.X11-unix/X${number%%.*}" ]
        ;;
    *) return 0 ;;
    esac
}

# shellcheck source=cmake/wine-env.sh
source "$ROOT/cmake/wine-env.sh" run
wine_env_lock

# shellcheck source=cmake/sample-desktop.sh
source "$ROOT/cmake/sample-desktop.sh"

if display_works; then
    wine_ensure_prefix
    wine_seed_desktop "$ROOT/build/bin/make_shortcut.exe"
    cd "$ROOT/build/bin"
    wine "$EXE"
    exit 0
fi

trap wine_cleanup EXIT
wine_start_xvfb
wine_ensure_prefix
wine_seed_desktop "$ROOT/build/bin/make_shortcut.exe"
cd "$ROOT/build/bin"
wine "$EXE" >"$WINE_STATE/program.log" 2>&1 &
if ! wine "$ROOT/build/bin/wait_window.exe" "$TITLE" 120 >/dev/null 2>&1; then
    echo "The window \"$TITLE\" did not appear within 120 s (Wine output: $WINE_STATE/program.log)." >&2
    exit 1
fi
sleep 1
import -window root "$ROOT/build/screenshot.png"
echo "$ROOT/build/screenshot.png"
