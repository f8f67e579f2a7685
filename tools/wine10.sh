#!/usr/bin/env bash
# tools/wine10.sh [CTEST ARGS...]: runs the suite (./test.sh with the arguments given) and then
# tools/tray_click.sh under Debian 13's Wine 10, in a Debian 13 chroot on this Debian 12 machine.
# Exits non-zero if either fails. Run as root.
#  1. installs debootstrap when it is missing;
#  2. makes the chroot once, outside the checkout (DALVORIN_TRIXIE_ROOT, by default
#     /var/tmp/dalvorin-trixie), and reuses it afterwards;
#  3. binds /proc, /sys, /dev (with /dev/pts and /dev/shm) and /tmp into it (the shared /tmp lets
#     its Xvfb choose a display number that no Xvfb of the host uses) and copies /etc/resolv.conf;
#  4. copies the committed tree (git archive HEAD; never build/ or .wine/) into /srv/dalvorin
#     inside it, touching only the files that changed, so its build/ is brought up to date rather
#     than made anew;
#  5. runs ./test.sh there, which installs Debian 13's MinGW and Wine inside the chroot, builds and
#     runs ctest, then tools/tray_click.sh; both run even if the first fails.
# The chroot's build/ and .wine/ stay in the chroot (/srv/dalvorin) for a look afterwards.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CHROOT=${DALVORIN_TRIXIE_ROOT:-/var/tmp/dalvorin-trixie}
MIRROR=${DALVORIN_TRIXIE_MIRROR:-http://deb.debian.org/debian}
SUITE=trixie
TREE=/srv/dalvorin
# Bound in this order, unbound in the reverse one.
BINDS=(proc sys dev tmp)

log() { echo "[wine10] $*" >&2; }
die() {
    log "$*"
    exit 1
}
now() { date +%s.%3N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.0f", b - a }'; }

[ "$(id -u)" -eq 0 ] || die "run as root: it makes a chroot and mounts into it"
case $CHROOT in
"$ROOT" | "$ROOT"/*) die "the chroot must lie outside the checkout: $CHROOT" ;;
esac
git -C "$ROOT" rev-parse --verify -q HEAD >/dev/null || die "$ROOT is not a git checkout with a commit"

# Every mount point at or below DIR, deepest first (mount points with spaces do not occur here).
mounts_under() {
    awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}
unmount_under() {
    local point
    for point in $(mounts_under "$1"); do
        umount -l "$point" 2>/dev/null || true
    done
}

# Without the lock two runs would bind twice and unbind under each other.
exec {LOCK_FD}>"$CHROOT.lock"
if ! flock -n "$LOCK_FD"; then
    log "waiting for another run that uses $CHROOT"
    flock "$LOCK_FD"
fi

make_chroot() {
    [ -f "$CHROOT/.dalvorin-ready" ] && return 0
    if ! command -v debootstrap >/dev/null; then
        log "installing debootstrap"
        if ! { apt-get update >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y debootstrap >/dev/null; }; then
            die "could not install debootstrap"
        fi
    fi
    local partial=$CHROOT.partial start
    # A creation that broke off may have left debootstrap's own mounts: never delete through them.
    unmount_under "$partial"
    [ -z "$(mounts_under "$partial")" ] || die "$partial still has mounts; unmount them first"
    rm -rf --one-file-system "$partial"
    [ ! -e "$CHROOT" ] || die "$CHROOT exists but was not made by this script; move it away"
    start=$(now)
    log "making a Debian 13 chroot in $CHROOT (once; log in $CHROOT.log)"
    # Older debootstraps have no trixie script; sid's serves every release since.
    if ! debootstrap --variant=minbase "$SUITE" "$partial" "$MIRROR" /usr/share/debootstrap/scripts/sid \
        >"$CHROOT.log" 2>&1; then
        tail -n 20 "$CHROOT.log" >&2
        unmount_under "$partial"
        die "debootstrap failed, see $CHROOT.log"
    fi
    unmount_under "$partial"
    printf 'deb %s %s main\ndeb %s %s-updates main\n' "$MIRROR" "$SUITE" "$MIRROR" "$SUITE" \
        >"$partial/etc/apt/sources.list"
    mv "$partial" "$CHROOT"
    touch "$CHROOT/.dalvorin-ready"
    log "chroot made in $(elapsed "$start") s"
}

bind_all() {
    local name
    for name in "${BINDS[@]}"; do
        mkdir -p "$CHROOT/$name"
        mountpoint -q "$CHROOT/$name" && continue
        # Recursive, so that /proc brings binfmt_misc and /dev brings pts and shm; slave, so that
        # unmounting here never unmounts the host's.
        mount --rbind "/$name" "$CHROOT/$name"
        mount --make-rslave "$CHROOT/$name"
    done
}
# What a run left inside the chroot (a Wine helper, an apt that lost its caller) would keep the
# binds busy: it is ended, by process id, before they go.
end_chroot_processes() {
    local round pid found
    for round in TERM TERM TERM KILL; do
        found=
        for pid in /proc/[0-9]*; do
            [ "$(readlink "$pid/root" 2>/dev/null)" = "$CHROOT" ] || continue
            kill -s "$round" "${pid#/proc/}" 2>/dev/null && found=1
        done
        [ -n "$found" ] || return 0
        sleep 1
    done
}
unbind_all() {
    local i
    end_chroot_processes
    for ((i = ${#BINDS[@]} - 1; i >= 0; i--)); do
        if mountpoint -q "$CHROOT/${BINDS[i]}"; then
            umount -R -l "$CHROOT/${BINDS[i]}" 2>/dev/null || log "could not unmount $CHROOT/${BINDS[i]}"
        fi
    done
}

# binfmt_misc belongs to the host's kernel and serves the chroot too. An interpreter registered
# with the F flag was opened at registration; without it the kernel opens the interpreter's path
# inside the chroot at every start, so that path must exist there.
check_emulation() {
    local entry=/proc/sys/fs/binfmt_misc/qemu-i386 interpreter
    grep -qsx enabled "$entry" || return 0
    interpreter=$(sed -n 's/^interpreter //p' "$entry")
    if grep -qs '^flags:.*F' "$entry"; then
        log "32-bit programs run through $interpreter (registered with F: usable in the chroot as is)"
        return 0
    fi
    [ -e "$CHROOT$interpreter" ] && return 0
    log "32-bit programs run through $interpreter, registered without F: installing it in the chroot"
    chroot "$CHROOT" /usr/bin/env DEBIAN_FRONTEND=noninteractive sh -c \
        'apt-get update >/dev/null && apt-get install -y --no-install-recommends qemu-user >/dev/null' ||
        die "could not install qemu-user in the chroot"
    # Debian 13's QEMU is linked statically: a link to it serves any registered path.
    if [ ! -e "$CHROOT$interpreter" ]; then
        mkdir -p "$(dirname "$CHROOT$interpreter")"
        ln -s /usr/bin/qemu-i386 "$CHROOT$interpreter"
    fi
}

# Brings $CHROOT$TREE to HEAD's files: changed and new files are written (with the current time, so
# that the build sees them as new), unchanged ones are left with their times, vanished ones go.
copy_tree() {
    local dest=$CHROOT$TREE stage=$CHROOT$TREE.stage file
    rm -rf "$stage"
    mkdir -p "$stage" "$dest"
    git -C "$ROOT" archive --format=tar HEAD | tar -x -m -C "$stage"
    # What HEAD no longer has goes; build/ and .wine/ are the chroot's own.
    (cd "$dest" && find . \( -path ./build -o -path ./.wine \) -prune -o ! -type d -print) |
        while IFS= read -r file; do
            [ -e "$stage/$file" ] || [ -L "$stage/$file" ] || rm -f "$dest/$file"
        done
    (cd "$stage" && find . ! -type d) | while IFS= read -r file; do
        if [ -L "$stage/$file" ] || ! cmp -s "$stage/$file" "$dest/$file" ||
            [ "$(stat -c %a "$stage/$file")" != "$(stat -c %a "$dest/$file")" ]; then
            mkdir -p "$(dirname "$dest/$file")"
            rm -f "$dest/$file"
            mv "$stage/$file" "$dest/$file"
        fi
    done
    rm -rf "$stage"
    log "copied $(git -C "$ROOT" rev-parse --short HEAD) into $CHROOT$TREE"
}

make_chroot
trap unbind_all EXIT
bind_all
cp /etc/resolv.conf "$CHROOT/etc/resolv.conf"
check_emulation
copy_tree
# An install that was broken off leaves dpkg waiting for this before apt does anything else.
chroot "$CHROOT" /usr/bin/env DEBIAN_FRONTEND=noninteractive dpkg --configure -a >/dev/null 2>&1 ||
    log "dpkg --configure -a failed in the chroot"

in_chroot() {
    chroot "$CHROOT" /usr/bin/env -i --chdir="$TREE" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" "$@"
}

status=0
start=$(now)
log "running ./test.sh $* in the chroot"
in_chroot ./test.sh "$@" || status=$?
log "./test.sh ended with $status after $(elapsed "$start") s"
start=$(now)
tray=0
in_chroot tools/tray_click.sh || tray=$?
log "tools/tray_click.sh ended with $tray after $(elapsed "$start") s"
[ "$status" -eq 0 ] && [ "$tray" -eq 0 ]
