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

# Programs that come with Wine, as name of the shortcut and target.
SAMPLE_SHORTCUTS=(
    记事本 'C:\windows\system32\notepad.exe'
    注册表编辑器 'C:\windows\regedit.exe'
    命令提示符 'C:\windows\system32\cmd.exe'
    扫雷 'C:\windows\system32\winemine.exe'
)

# A fresh prefix has an empty desktop, so the launcher would list nothing: the desktop of this
# script's own prefix gets shortcuts to a few programs of Wine, once, while it holds none. The
# desktop is found as Wine sees it and must lie inside .wine/run/ (a default prefix links it to
# $HOME, which is private here); anything else is left alone.
seed_desktop() {
    local profile desktop state
    profile=$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r\n') || return 0
    [ -n "$profile" ] || return 0
    desktop=$(realpath -e "$(winepath -u "$profile\\Desktop" 2>/dev/null)" 2>/dev/null) || return 0
    state=$(realpath -e "$WINE_STATE") || return 0
    case $desktop in
    "$state"/*) ;;
    *)
        echo "The desktop of the run prefix is $desktop, outside $state: no sample shortcuts made." >&2
        return 0
        ;;
    esac
    [ -z "$(find "$desktop" -maxdepth 1 -iname '*.lnk' -print -quit)" ] || return 0
    local arguments=() i
    for ((i = 0; i < ${#SAMPLE_SHORTCUTS[@]}; i += 2)); do
        arguments+=("$profile\\Desktop\\${SAMPLE_SHORTCUTS[i]}.lnk" "${SAMPLE_SHORTCUTS[i + 1]}")
    done
    wine "$ROOT/build/bin/make_shortcut.exe" "${arguments[@]}" >/dev/null 2>&1 ||
        echo "Some sample shortcuts could not be made on $desktop." >&2
}

if display_works; then
    wine_ensure_prefix
    seed_desktop
    cd "$ROOT/build/bin"
    wine "$EXE"
    exit 0
fi

trap wine_cleanup EXIT
wine_start_xvfb
wine_ensure_prefix
seed_desktop
cd "$ROOT/build/bin"
wine "$EXE" >"$WINE_STATE/program.log" 2>&1 &
if ! wine "$ROOT/build/bin/wait_window.exe" "$TITLE" 120 >/dev/null 2>&1; then
    echo "The window \"$TITLE\" did not appear within 120 s (Wine output: $WINE_STATE/program.log)." >&2
    exit 1
fi
sleep 1
import -window root "$ROOT/build/screenshot.png"
echo "$ROOT/build/screenshot.png"
