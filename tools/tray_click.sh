#!/usr/bin/env bash
# tools/tray_click.sh [BUILD_DIR [CASE]]: drives the launcher's notification-area icon with real
# mouse input (xdotool) on the runtime's own notification area, on a private Xvfb, in the Wine
# prefix .wine/tray, and fails unless every step happens:
#   1. the title bar's minimise box hides the window; a double click on the icon shows it again;
#      a right click on the icon, with the window shown, opens the menu; its item ends the program;
#   2. started again and minimised, a right click with the window hidden opens the menu; a click
#      away closes it and leaves the foreground to no window of ours; a second right click and the
#      item end the program;
#   3. started again, a password is created from the menu bar; with the prompt that a double click
#      on the icon opens still on screen, the icon's menu item ends the program within a second.
# CASE is shown, hidden, prompt (1 to 3 above) or all (the default); the suite runs each as a test
# of its own. With BUILD_DIR (as the suite passes it) nothing is installed or built first, and where
# the caller has a Wine prefix and a display up already (the suite's), the script uses those.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TITLE="Nivvo桌面管理"

if [ $# -ge 1 ]; then
    BIN=$1/bin
else
    "$ROOT/cmake/setup.sh" Dalvorin tray_probe desktop_hold wait_window
    BIN=$ROOT/build/bin
fi
command -v xdotool >/dev/null || { echo "tray click: xdotool is missing (cmake/setup.sh installs it)"; exit 1; }

LAUNCHER_PID=
if [ $# -ge 1 ] && [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ]; then
    # Run by the suite: its display, prefix and desktop are up already, and stay up afterwards.
    finish() { [ -z "$LAUNCHER_PID" ] || kill "$LAUNCHER_PID" 2>/dev/null || true; }
    trap finish EXIT
else
    # shellcheck source=cmake/wine-env.sh
    source "$ROOT/cmake/wine-env.sh" tray
    wine_env_lock
    finish() {
        [ -z "$LAUNCHER_PID" ] || kill "$LAUNCHER_PID" 2>/dev/null || true
        wine_cleanup
    }
    trap finish EXIT
    wine_start_xvfb
    wine_ensure_prefix
    wine_start_desktop
fi
cd "$BIN"

# To standard error: a step run in $(...) would otherwise take the reason with it.
fail() {
    echo "tray click: $*" >&2
    exit 1
}
probe() { wine ./tray_probe.exe "$@" 2>/dev/null | tr -d '\r'; }
# Waits up to 10 s until the window state matches the pattern (e.g. "visible=0"); the probe polls
# in one process, since a Wine process start is dear where Wine runs under emulation.
wait_state() {
    local state
    state=$(wine ./tray_probe.exe window "$1" 2>/dev/null | tr -d '\r') || fail "expected $1 after $2, got: $state"
}
wait_ended() {
    local _
    for _ in $(seq 40); do
        kill -0 "$LAUNCHER_PID" 2>/dev/null || {
            LAUNCHER_PID=
            return 0
        }
        sleep 0.25
    done
    fail "the program still runs after $1"
}
click_at() { # X Y BUTTON [REPEAT]
    xdotool mousemove "$1" "$2"  # (--sync waits in vain when the pointer is there already)
    sleep 0.2
    xdotool click --repeat "${4:-1}" --delay 120 "$3"
}
start_launcher() {
    wine ./Dalvorin.exe >/dev/null 2>&1 &
    LAUNCHER_PID=$!
    wine ./wait_window.exe "$TITLE" 60 >/dev/null 2>&1 || fail "the window did not appear"
    sleep 0.5
}
minimise() {
    local box
    box=$(probe minbox) || fail "no minimise box: $box"
    # shellcheck disable=SC2086
    click_at $box 1
    wait_state "visible=0" "a click on the minimise box"
}
# The notification area may lie under our window at the screen's corner: the probe raises it.
tray_icon() {
    probe icon || fail "no icon in the notification area"
    sleep 0.2
}
choose_item() {
    local item
    item=$(probe menuitem) || fail "no menu to choose from"
    # shellcheck disable=SC2086
    click_at $item 1
    wait_ended "its menu item was chosen ($1)"
}

shown_window() {
    start_launcher
    minimise
    icon=$(tray_icon)
    # shellcheck disable=SC2086
    click_at $icon 1 2
    wait_state "visible=1" "a double click on the icon"
    icon=$(tray_icon)
    # shellcheck disable=SC2086
    click_at $icon 3
    wait_state "menu=1" "a right click on the icon with the window shown"
    choose_item "window shown"
    echo "tray click: shown window: minimise hides, double click shows, menu item ends the program"
}

hidden_window() {
    start_launcher
    minimise
    icon=$(tray_icon)
    # shellcheck disable=SC2086
    click_at $icon 3
    wait_state "menu=1" "a right click on the icon with the window hidden"
    # Keys typed with xdotool reach no menu of a hidden window (no X window of ours has the focus):
    # the menu is dismissed the other way a user does it.
    click_at 900 700 1
    wait_state "menu=0" "a click away from the menu"
    state=$(probe window)
    [[ $state == *"foreground=ours"* ]] && fail "a window of ours kept the foreground after the menu: $state"
    # shellcheck disable=SC2086
    click_at $icon 3
    wait_state "menu=1" "a second right click on the icon with the window hidden"
    choose_item "window hidden"
    echo "tray click: hidden window: menu opens, a click away gives the foreground back, menu item ends the program"
}

prompt_open() {
    # 使用 → 创建密码, typed and confirmed; then the prompt the icon opens is left open while the
    # program is closed from the icon's menu.
    start_launcher
    # shellcheck disable=SC2086
    click_at $(probe menubar) 1
    sleep 0.5
    # shellcheck disable=SC2086
    click_at $(probe menuitem) 1
    wine ./wait_window.exe "密码" 10 >/dev/null 2>&1 || fail "no create-password dialog"
    # shellcheck disable=SC2086
    click_at $(probe control "密码" 1009) 1
    xdotool type --delay 80 pw
    # shellcheck disable=SC2086
    click_at $(probe control "密码" 1) 1
    wait_state "visible=0" "a password was created"
    icon=$(tray_icon)
    # shellcheck disable=SC2086
    click_at $icon 1 2
    wine ./wait_window.exe "请输入密码" 10 >/dev/null 2>&1 || fail "no password prompt after a double click"
    icon=$(tray_icon)
    # shellcheck disable=SC2086
    click_at $icon 3
    wait_state "menu=1" "a right click on the icon with the prompt open"
    item=$(probe menuitem) || fail "no menu to choose from"
    chosen=$(date +%s%N)
    # shellcheck disable=SC2086
    click_at $item 1
    wait_ended "its menu item was chosen with the prompt open"
    elapsed_ms=$((($(date +%s%N) - chosen) / 1000000))
    [ "$elapsed_ms" -le 1000 ] || fail "the program took $elapsed_ms ms to end with the prompt open"
    echo "tray click: prompt open: the menu item ends the program within $elapsed_ms ms of the click"
}

start=$(date +%s)
case ${2:-all} in
shown) shown_window ;;
hidden) hidden_window ;;
prompt) prompt_open ;;
all)
    shown_window
    hidden_window
    prompt_open
    ;;
*) fail "no case ${2:-}: shown, hidden, prompt or all" ;;
esac
echo "tray click: passed in $(($(date +%s) - start)) s"
