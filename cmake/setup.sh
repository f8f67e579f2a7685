#!/usr/bin/env bash
# cmake/setup.sh [TARGET...]: makes this machine able to build and run the project, then
# configures build/ and builds TARGETs (everything when none is given).
#  1. installs the Debian packages that are missing (as root, or through sudo);
#  2. creates the zh_CN.UTF-8 locale when it is missing;
#  3. where the kernel cannot start 32-bit programs (some virtual machines), lets 32-bit Wine run
#     through QEMU's user-mode i386 emulation, registered with binfmt_misc;
#  4. configures (once) and builds with CMake and Ninja.
# Used by run.sh, test.sh and bench/run. Details of package installs go to build/setup.log.
set -euo pipefail

# On a fresh machine the caller's LANG or LC_* may name a locale that does not exist yet (such as
# zh_CN.UTF-8, made below): apt's perl, dpkg and bash would warn about it in every step. The steps
# here run in C.UTF-8, which always exists; LANG is set first, since bash falls back to it at once
# for every LC_* that goes.
export LANG=C.UTF-8
for name in $(compgen -e); do
    case $name in
    LC_* | LANGUAGE) unset "$name" ;;
    esac
done

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
LOG=$BUILD/setup.log
mkdir -p "$BUILD"

PACKAGES=(cmake ninja-build g++-mingw-w64-i686-posix googletest wine wine32:i386 xvfb imagemagick
    fonts-wqy-microhei locales cppcheck clang-tidy xdotool)
# A script that needs more than building and testing do names it here (space-separated).
read -r -a EXTRA_PACKAGES <<<"${DALVORIN_EXTRA_PACKAGES:-}"
PACKAGES+=("${EXTRA_PACKAGES[@]}")

log() { echo "[setup] $*" >&2; }
die() {
    log "$*"
    exit 1
}

SUDO=
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 && SUDO=sudo
fi
as_root() {
    if [ "$(id -u)" -ne 0 ] && [ -z "$SUDO" ]; then
        die "needs root to run: $* (run as root or install sudo)"
    fi
    $SUDO "$@"
}

installed() { [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]; }

APT_UPDATED=
apt_update() {
    [ -n "$APT_UPDATED" ] && return 0
    log "apt-get update"
    as_root apt-get update >>"$LOG" 2>&1 || die "apt-get update failed, see $LOG"
    APT_UPDATED=1
}

apt_install() {
    log "installing $*"
    if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "$@" >>"$LOG" 2>&1; then
        tail -n 20 "$LOG" >&2
        die "apt-get install failed, see $LOG"
    fi
}

install_packages() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        log "enabling the i386 architecture"
        as_root dpkg --add-architecture i386
    fi
    local missing=() package
    for package in "${PACKAGES[@]}"; do
        installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    apt_update
    apt_install "${missing[@]}"
}

make_locale() {
    locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' && return 0
    log "creating the zh_CN.UTF-8 locale"
    as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 >>"$LOG" 2>&1 ||
        log "could not create zh_CN.UTF-8; Wine runs with C.UTF-8 and font linking instead"
}

wine32_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

qemu_major() {
    local version
    version=$(qemu-i386 --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p;q')
    echo "${version:-0}"
}

# QEMU 7 (Debian 12's own) ignores MAP_FIXED_NOREPLACE, which makes every Wine process spend most of
# a minute searching for address space; version 8 and later handle it. Debian 12 gets a newer QEMU
# from its backports.
install_qemu() {
    [ "$(qemu_major)" -ge 8 ] && return 0
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ "$codename" = bookworm ]; then
        if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
            log "adding Debian's bookworm-backports to apt's sources (for a recent QEMU)"
            printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
                'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
                as_root tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
            APT_UPDATED=
        fi
        apt_update
        apt_install --no-install-recommends -t bookworm-backports qemu-user
    else
        apt_update
        apt_install --no-install-recommends qemu-user
    fi
    [ "$(qemu_major)" -ge 8 ] || die "QEMU 8 or later is needed to run 32-bit Wine here"
}

register_i386_emulation() {
    local binfmt=/proc/sys/fs/binfmt_misc
    local interpreter
    interpreter=$(command -v qemu-i386)
    if [ ! -e "$binfmt/register" ]; then
        as_root mount -t binfmt_misc binfmt_misc "$binfmt" || die "cannot mount $binfmt"
    fi
    if [ -e "$binfmt/qemu-i386" ]; then
        grep -qx "interpreter $interpreter" "$binfmt/qemu-i386" && grep -qx enabled "$binfmt/qemu-i386" &&
            return 0
        echo -1 | as_root tee "$binfmt/qemu-i386" >/dev/null
    fi
    log "running 32-bit programs through $interpreter"
    # 32-bit little-endian x86 executables and shared objects; F: the interpreter is opened now.
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$interpreter:F" | as_root tee "$binfmt/register" >/dev/null
}

# Under the emulation, the 64-bit wineserver runs natively: it is faster, and it can read and write
# the memory of the emulated processes (ReadProcessMemory, WriteProcessMemory), which the emulated
# 32-bit wineserver cannot, since QEMU does not pass ptrace on.
enable_wine32() {
    wine32_runs && return 0
    log "this kernel does not start 32-bit programs; setting up QEMU user-mode emulation"
    install_qemu
    register_i386_emulation
    wine32_runs || die "32-bit Wine still does not start"
    if ! installed wine64; then
        apt_update
        apt_install --no-install-recommends wine64
    fi
}

# winedump, Wine's reader of executables and minidumps, checks the program's crash dumps with a
# reader of its own (tools/crash_dump_check.sh). It comes with Wine's 64-bit tools: 0.6 MB plus
# 5 MB of headers where the 64-bit Wine library is installed already (as the emulated set-up above
# installs it), but 100 MB more where it is not; there the check goes without it.
install_winedump() {
    command -v winedump >/dev/null 2>&1 && return 0
    installed libwine:amd64 || return 0
    apt_update
    apt_install --no-install-recommends wine64-tools
}

configure_and_build() {
    if [ ! -f "$BUILD/build.ninja" ]; then
        log "configuring $BUILD"
        if ! cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
            >"$BUILD/configure.log" 2>&1; then
            cat "$BUILD/configure.log" >&2
            die "configuration failed"
        fi
    fi
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    local start
    start=$(date +%s.%3N)
    log "building ${*:-everything}"
    cmake --build "$BUILD" "${targets[@]}" -- --quiet || die "build failed"
    log "built in $(awk -v a="$start" -v b="$(date +%s.%3N)" 'BEGIN { printf "%.1f", b - a }') s"
}

install_packages
make_locale
enable_wine32
install_winedump
configure_and_build "$@"
