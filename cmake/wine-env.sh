# Wine environment shared by run.sh, test.sh, bench/run and cmake/wine-run.sh. Source it:
#   source cmake/wine-env.sh STATE      (STATE: test, run or bench)
# Everything Wine touches lives in .wine/STATE/ of the repo: a private HOME (a default prefix links
# its Desktop and Documents folders to $HOME) and a private 32-bit WINEPREFIX. Processes started
# here are ended by PID, or with "wineserver -k", which affects only this prefix.

WINE_ENV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE_STATE=$WINE_ENV_ROOT/.wine/${1:-test}

export HOME=$WINE_STATE/home
export WINEPREFIX=$WINE_STATE/prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts; no winemenubuilder (it turns every shortcut on the Desktop into
# menu entries of the host).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Chinese ANSI code page (936) as on the target systems when the locale exists; otherwise the
# font-link entries imported into the prefix supply the Chinese glyphs. LANG alone decides: every
# LC_* of the caller's shell goes, since one naming a locale this machine lacks makes bash, perl and
# locale warn in every script started from here. Bash applies each change at once and falls back
# to LANG for what is unset, so LANG first names a locale that always exists.
wine_env_reset_locale() {
    export LANG=C.UTF-8
    local name
    for name in $(compgen -e); do
        case $name in
        LC_* | LANGUAGE) unset "$name" ;;
        esac
    done
}
wine_env_reset_locale
if locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    export LANG=zh_CN.UTF-8
else
    export LANG=C.UTF-8
fi
mkdir -p "$HOME/Desktop"

WINE_XVFB_PID=
WINE_HOLD_PID=
# The processor that the Wine processes of a run share, and the command prefix that puts a process
# there; both empty (any processor) unless wine_share_one_cpu chose one.
WINE_CPU=
WINE_PIN=()

wine_env_log() { echo "[$(basename "$0")] $*" >&2; }

# Seconds since the epoch with milliseconds, for timing messages.
wine_env_now() { date +%s.%3N; }
wine_env_elapsed() { awk -v a="$1" -v b="$(wine_env_now)" 'BEGIN { printf "%.1f", b - a }'; }

# One user of a state folder at a time: a second run waits for the first.
wine_env_lock() {
    exec {WINE_LOCK_FD}>"$WINE_STATE.lock"
    if ! flock -n "$WINE_LOCK_FD"; then
        wine_env_log "waiting for another run that uses $WINE_STATE"
        flock "$WINE_LOCK_FD"
    fi
}

# Makes the X server, the wineserver and the desktop started from here on, and every program that
# cmake/wine-cpu.sh starts (the tests), run on one processor: the last one this script may use.
# Nearly every Win32 call that touches a window, a menu or another handle is a round trip to the
# wineserver, and on a virtual machine waking it on another processor that sits idle costs tens of
# microseconds where the same processor costs a few: 65,000 round trips took 1.9 s across two
# processors and 0.16 s on one, the Wine tests of the suite 83 to 96 s against 35 to 37 s. The tests
# run one at a time, so they lose nothing; what runs natively (the static analysis) keeps them all.
wine_share_one_cpu() {
    command -v taskset >/dev/null 2>&1 || return 0
    local allowed
    allowed=$(sed -n 's/^Cpus_allowed_list:[[:space:]]*//p' /proc/self/status)
    export WINE_CPU=${allowed##*[,-]}
    WINE_PIN=(taskset -c "$WINE_CPU")
}

# Starts a private Xvfb on a display number it chooses itself (never one in use) and exports
# DISPLAY.
wine_start_xvfb() {
    local numberFile=$WINE_STATE/xvfb.display
    rm -f "$numberFile"
    "${WINE_PIN[@]}" Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    local _
    for _ in $(seq 100); do
        [ -s "$numberFile" ] && break
        kill -0 "$WINE_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$numberFile" ]; then
        wine_env_log "Xvfb did not start"
        return 1
    fi
    export DISPLAY=":$(tr -dc '0-9' <"$numberFile")"
}

# Creates the prefix on first use (timed) and imports the settings every test prefix needs.
# A prefix whose creation did not finish is made again.
wine_ensure_prefix() {
    local done=$WINE_STATE/prefix.done
    [ -f "$done" ] && [ -f "$WINEPREFIX/system.reg" ] && return 0
    local start attempt
    start=$(wine_env_now)
    # Under CPU emulation a first Wine start now and then fails to map its shared memory; a fresh
    # attempt succeeds.
    for attempt in 1 2 3; do
        rm -rf "$WINEPREFIX" "$done"
        wine_env_log "creating Wine prefix $WINEPREFIX (attempt $attempt)"
        wineboot -i >/dev/null 2>&1 || true
        wine regedit /S "$WINE_ENV_ROOT/cmake/wine-test-settings.reg" >/dev/null 2>&1 || true
        wine regedit /S "$WINE_ENV_ROOT/cmake/cjk-fontlink.reg" >/dev/null 2>&1 || true
        wineserver -w || true
        [ -f "$WINEPREFIX/system.reg" ] && break
        wineserver -k >/dev/null 2>&1 || true
    done
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_env_log "Wine prefix creation failed"
        return 1
    fi
    # Wine does not pick up its own Marlett from its data folder here; without it caption buttons,
    # menu check marks and arrows are drawn as plain letters.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    touch "$done"
    wine_env_log "Wine prefix created in $(wine_env_elapsed "$start") s"
}

# Starts the wineserver and keeps the desktop process alive with desktop_hold.exe, all with output
# to /dev/null: a Wine helper started later by a test would otherwise inherit ctest's output pipe,
# and ctest would wait for it.
wine_start_desktop() {
    local hold=$WINE_ENV_ROOT/build/bin/desktop_hold.exe
    local ready=$WINE_STATE/hold.ready
    rm -f "$ready"
    "${WINE_PIN[@]}" wineserver -p >/dev/null 2>&1
    "${WINE_PIN[@]}" wine "$hold" 86400 "$(winepath -w "$ready" 2>/dev/null)" >/dev/null 2>&1 &
    WINE_HOLD_PID=$!
    local _
    for _ in $(seq 1200); do
        [ -e "$ready" ] && return 0
        kill -0 "$WINE_HOLD_PID" 2>/dev/null || break
        sleep 0.1
    done
    wine_env_log "the Wine desktop did not start"
    return 1
}

# Ends what this script started: the desktop holder, everything in this prefix, Xvfb.
wine_cleanup() {
    if [ -n "$WINE_HOLD_PID" ]; then
        kill "$WINE_HOLD_PID" 2>/dev/null || true
    fi
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
    fi
    WINE_HOLD_PID=
    WINE_XVFB_PID=
}
