# cmake/sample-desktop.sh: sourced after cmake/wine-env.sh by scripts that show the launcher working.
# wine_seed_desktop MAKE_SHORTCUT_EXE puts shortcuts to a few programs of Wine on the prefix's desktop.

# Programs that come with Wine, as name of the shortcut and target.
SAMPLE_SHORTCUTS=(
    记事本 'C:\windows\system32\notepad.exe'
    注册表编辑器 'C:\windows\regedit.exe'
    命令提示符 'C:\windows\system32\cmd.exe'
    扫雷 'C:\windows\system32\winemine.exe'
)

# A fresh prefix has an empty desktop, so the launcher would list nothing: the desktop of the
# calling script's own prefix gets shortcuts to a few programs of Wine, once, while it holds none.
# The desktop is found as Wine sees it and must lie inside $WINE_STATE (a default prefix links it
# to $HOME, which is private here); anything else is left alone.
wine_seed_desktop() {
    local maker=$1
    local profile desktop state
    profile=$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r\n') || return 0
    [ -n "$profile" ] || return 0
    desktop=$(realpath -e "$(winepath -u "$profile\\Desktop" 2>/dev/null)" 2>/dev/null) || return 0
    state=$(realpath -e "$WINE_STATE") || return 0
    case $desktop in
    "$state"/*) ;;
    *)
        echo "The desktop of the prefix is $desktop, outside $state: no sample shortcuts made." >&2
        return 0
        ;;
    esac
    [ -z "$(find "$desktop" -maxdepth 1 -iname '*.lnk' -print -quit)" ] || return 0
    local arguments=() i
    for ((i = 0; i < ${#SAMPLE_SHORTCUTS[@]}; i += 2)); do
        arguments+=("$profile\\Desktop\\${SAMPLE_SHORTCUTS[i]}.lnk" "${SAMPLE_SHORTCUTS[i + 1]}")
    done
    wine "$maker" "${arguments[@]}" >/dev/null 2>&1 ||
        echo "Some sample shortcuts could not be made on $desktop." >&2
}
