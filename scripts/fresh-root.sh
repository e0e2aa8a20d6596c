# Sourced by test-fresh.sh and test-deb.sh: a bare Debian 12 root unpacked in
# a temporary folder, mounted as a machine's, and taken down on exit.
# Sets work (the temporary folder) and root (work/root) only once asked to.

mounted=()
say() { printf '== %s\n' "$*"; }

cleanup() {
    local status=$?
    # Anything still running in the root holds its mounts.
    [ -n "${work:-}" ] || exit "$status"
    if [ -d "$root" ]; then
        for pid in $(ls /proc | grep -E '^[0-9]+$'); do
            if [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ]; then
                kill -9 "$pid" 2>/dev/null || true
            fi
        done
    fi
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[$i]}" 2>/dev/null || umount -lR "${mounted[$i]}" 2>/dev/null || true
    done
    if [ "${FOTELLO_FRESH_KEEP:-0}" = 1 ]; then
        say "root kept in $root"
    elif ! grep -q " $work" /proc/self/mounts; then
        rm -rf --one-file-system "$work"
    fi
    exit "$status"
}
trap cleanup EXIT INT TERM

# The root is a mount of its own, private, as on a machine: tests that make
# private mount namespaces need / to be a mount point.
mount_root() {
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
    mount --bind "$root" "$root"
    mount --make-private "$root"
    mounted+=("$root")
    local m
    for m in proc sys dev; do
        mkdir -p "$root/$m"
        case $m in
        proc) mount -t proc proc "$root/proc" ;;
        sys) mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys" ;;
        dev) mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" ;;
        esac
        mounted+=("$root/$m")
    done
}

in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive "$@"; }
