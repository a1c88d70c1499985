#!/usr/bin/env bash
# A 32-bit-capable machine for the 32-bit Windows edition where this machine's
# kernel refuses 32-bit programs: a small Debian 12 amd64 guest under
# qemu-system-x86_64 (software emulation, TCG), whose kernel runs 32-bit code,
# so wine32 works in it.
#
#   scripts/win32-guest.sh image
#       Builds the guest image once (reused while its recipe is unchanged)
#       and prints its folder.
#   scripts/win32-guest.sh run [--timeout S] [--env NAME=VALUE]... -- COMMAND [ARG]...
#       Runs COMMAND in the guest, in the current folder, which must lie in
#       the work tree. The work tree is shared with the guest at the same
#       absolute path (virtio-9p), so a build made here runs there with its
#       paths unchanged (the guest has no compiler). COMMAND's output is
#       streamed; its exit code is this script's. Every run starts from the
#       prepared image (-snapshot): nothing but the work tree keeps its
#       changes.
#
# The image: debootstrap of bookworm from this machine's Debian mirror, then,
# chrooted, scripts/bootstrap.sh installs the guest's packages with its mirror
# handling (the i386 architecture added for wine32); the kernel and initrd
# are the guest's own; the root filesystem is an ext4 image made from the
# folder (mke2fs -d, no loop mount). A first boot makes the win32 wine prefix
# inside the image; every run mounts it over the edition's prefix folder of
# the tree ($POOLSCOPE_WINEPREFIX, default build/win32/wine-prefix), so a job
# finds it ready. PID 1 of the guest is a small init of ours that runs the job
# and powers off.
#
# Environment: POOLSCOPE_GUEST_CACHE (default ~/.cache/poolscope/win32-guest)
# holds the images; POOLSCOPE_DEBIAN_MIRROR overrides the mirror taken from
# /etc/apt; POOLSCOPE_GUEST_CPUS (2) and POOLSCOPE_GUEST_MEMORY (4G) size the
# guest.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache="${POOLSCOPE_GUEST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/poolscope/win32-guest}"
suite=bookworm
guest_packages="linux-image-amd64 kmod wine wine64 wine32:i386 xvfb xauth fonts-wine cmake"
guest_prefix=/opt/poolscope/wine-win32

say() { echo "win32-guest: $*" >&2; }

host_packages() {
    POOLSCOPE_PACKAGES="qemu-system-x86 debootstrap e2fsprogs" "$root/scripts/bootstrap.sh"
}

# The first Debian mirror this machine's apt uses.
debian_mirror() {
    if [ -n "${POOLSCOPE_DEBIAN_MIRROR:-}" ]; then
        echo "$POOLSCOPE_DEBIAN_MIRROR"
        return
    fi
    local uri
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^URIs:/ { for (i = 2; i <= NF; i++) if ($i ~ /\/debian\/?$/) { print $i; exit } }')
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 ~ /\/debian\/?$/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

# PID 1 of the guest, the part kept in the image: mounts the kernel's file
# systems (those the initrd has not moved over already) and the control share,
# and hands over to the run's own init there (guest_run_init), so that how a
# run goes can change without a new image. Should anything fail, init exits,
# the kernel panics (panic=-1 reboots, -no-reboot ends qemu) and the missing
# exit code tells the host.
guest_init() {
    cat <<'EOF'
#!/bin/sh
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
modprobe 9pnet_virtio && modprobe 9p || exit 1
mkdir -p /poolscope-ctl
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288 ctl /poolscope-ctl || exit 1
exec /bin/sh /poolscope-ctl/init.sh
EOF
}

# The rest of PID 1, written for each run: the work tree at its own path,
# through the guest's page cache (cache=loose; without it, as cache=mmap,
# wine mapped a Windows program of several MB with its code as zeros, and the
# program died at its first instruction there), then the job with its output
# on the serial console, its exit code kept, and power off.
guest_run_init() {
    cat <<'EOF'
mkdir -p /dev/pts /dev/shm
mountpoint -q /dev/pts || mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
stty -F /dev/ttyS0 -onlcr 2>/dev/null
work=$(cat /poolscope-ctl/work)
mkdir -p "$work"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288,cache=loose work "$work" || exit 1
hostname poolscope-guest
# Through a pipe: on a terminal, wine's console would paint its output with
# cursor movements.
{ /bin/bash /poolscope-ctl/job.sh </dev/null 2>&1; echo $? >/poolscope-ctl/rc; } | cat >/dev/ttyS0
sync
umount "$work" 2>/dev/null
umount /poolscope-ctl 2>/dev/null
echo o >/proc/sysrq-trigger
sleep 60
EOF
}

# Runs a command chrooted in the folder, with the kernel's file systems
# mounted where this machine allows it (package scripts want /proc).
in_chroot() {
    local dir=$1 m
    shift
    local mounted=()
    for m in proc sys dev; do
        if mount --bind "/$m" "$dir/$m" 2>/dev/null; then mounted+=("$dir/$m"); fi
    done
    local rc=0
    chroot "$dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@" || rc=$?
    for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done
    return "$rc"
}

make_rootfs() {
    local dir=$1 mirror try
    mirror=$(debian_mirror)
    say "debootstrap of $suite from $mirror"
    for try in 1 2 3; do
        rm -rf "$dir"
        debootstrap --variant=minbase --arch=amd64 "$suite" "$dir" "$mirror" >"$dir.log" 2>&1 && break
        say "debootstrap failed (attempt $try of 3): $(tail -n 1 "$dir.log")"
        ((try < 3)) || { cat "$dir.log" >&2; return 1; }
        sleep 5
    done
    # The guest fetches from this machine's sources, with its apt settings
    # for them, so that the guest's wine is this machine's.
    cp /etc/resolv.conf "$dir/etc/resolv.conf"
    if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
        rm -f "$dir/etc/apt/sources.list"
        cp /etc/apt/sources.list.d/*.sources "$dir/etc/apt/sources.list.d/"
    fi
    grep -l '^Acquire::' /etc/apt/apt.conf.d/* 2>/dev/null | xargs -r cp -t "$dir/etc/apt/apt.conf.d/"
    cp "$root/scripts/bootstrap.sh" "$dir/tmp/bootstrap.sh"
    say "installing the guest's packages: $guest_packages"
    in_chroot "$dir" /usr/bin/env POOLSCOPE_PACKAGES="$guest_packages" bash /tmp/bootstrap.sh
    guest_init >"$dir/sbin/poolscope-init"
    chmod 755 "$dir/sbin/poolscope-init"
    rm -rf "$dir/var/cache/apt/archives/"*.deb "$dir/var/lib/apt/lists/"* "$dir/tmp/"*
    echo poolscope-guest >"$dir/etc/hostname"
}

# The image's identity: everything that goes into it.
image_key() {
    {
        echo "$suite $guest_packages $guest_prefix"
        declare -f guest_init make_rootfs make_image first_boot_job
        (. "$root/scripts/wine-edition.sh" && declare -f use_edition prepare_prefix)
    } | sha256sum | cut -c1-16
}

# The job of the image's first boot: the win32 prefix, made in the image.
first_boot_job() {
    cat <<EOF
. "$root/scripts/wine-edition.sh"
POOLSCOPE_WINEPREFIX=$guest_prefix
use_edition win32
prepare_prefix
EOF
}

make_image() {
    local dest=$1 work="$1.partial.$$"
    rm -rf "$work"
    mkdir -p "$work"
    make_rootfs "$work/rootfs"
    cp "$work/rootfs"/boot/vmlinuz-* "$work/vmlinuz"
    cp "$work/rootfs"/boot/initrd.img-* "$work/initrd.img"
    say "making the root file system image"
    mke2fs -q -t ext4 -L poolscope -d "$work/rootfs" "$work/root.ext4" 6G
    rm -rf "$work/rootfs" "$work/rootfs.log"
    say "first boot: making the win32 wine prefix in the image"
    if ! (cd "$root" && boot_guest "$work" persistent 1800 bash -c "$(first_boot_job)" >&2); then
        say "the first boot could not make the wine prefix"
        return 1
    fi
    rm -rf "$dest"
    mv "$work" "$dest"
}

# The image folder, made if missing (one builder at a time: the others wait
# for it and use its image). The two images used last are kept, so that trees
# whose recipes differ do not rebuild each other's.
ensure_image() {
    local key dir
    key=$(image_key)
    dir="$cache/$key"
    mkdir -p "$cache"
    exec 9>"$cache/.lock"
    flock 9
    if [ ! -f "$dir/root.ext4" ]; then
        # Everything said while building goes to stderr: stdout answers
        # the image folder alone.
        host_packages >&2
        say "building the guest image in $dir (about 7 minutes)"
        local t0=$SECONDS
        rm -rf "$cache"/*.partial.*
        make_image "$dir" >&2
        say "guest image ready in $((SECONDS - t0)) s"
    fi
    touch "$dir"
    find "$cache" -mindepth 1 -maxdepth 1 -type d -printf '%T@ %p\n' | sort -rn | tail -n +3 |
        cut -d' ' -f2- | xargs -r rm -rf
    exec 9>&-
    echo "$dir"
}

# Boots the image and runs COMMAND in it (in the current folder, which must
# lie in the tree); answers COMMAND's exit code.
#   boot_guest IMAGE_DIR snapshot|persistent TIMEOUT_S COMMAND [ARG]...
boot_guest() {
    local image=$1 mode=$2 limit=$3
    shift 3
    local ctl here
    here=$(pwd)
    case "$here/" in "$root"/*) ;; *) say "the current folder $here is not in the tree $root"; return 2 ;; esac
    ctl=$(mktemp -d)
    echo "$root" >"$ctl/work"
    guest_run_init >"$ctl/init.sh"
    {
        echo "export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb"
        # The project's scripts skip there what needs a compiler or the network.
        echo "export POOLSCOPE_IN_GUEST=1"
        local e
        for e in "${guest_env[@]}"; do printf 'export %q\n' "$e"; done
        if [ "$mode" = snapshot ]; then
            # The prepared prefix where the win32 scripts and ctest look for it.
            local at="${POOLSCOPE_WINEPREFIX:-$root/build/win32/wine-prefix}"
            printf 'mkdir -p %q && mount --bind %q %q || exit 125\n' "$at" "$guest_prefix" "$at"
        fi
        printf 'cd %q || exit 125\n' "$here"
        printf '%q ' exec "$@"
        echo
    } >"$ctl/job.sh"
    local drive="file=$image/root.ext4,format=raw,if=virtio"
    [ "$mode" = snapshot ] && drive+=",snapshot=on"
    # The kernel's word on powering off is no output of the job's.
    local rc=0
    {
        timeout -k 30 "$limit" qemu-system-x86_64 \
            -accel tcg,thread=multi -cpu max,-smap \
            -smp "${POOLSCOPE_GUEST_CPUS:-2}" -m "${POOLSCOPE_GUEST_MEMORY:-4G}" \
            -nodefaults -display none -no-reboot -serial stdio \
            -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
            -append "root=/dev/vda rw console=ttyS0 quiet loglevel=1 panic=-1 init=/sbin/poolscope-init" \
            -drive "$drive" \
            -virtfs "local,path=$root,mount_tag=work,security_model=none,id=work" \
            -virtfs "local,path=$ctl,mount_tag=ctl,security_model=none,id=ctl" \
            </dev/null || echo $? >"$ctl/qemu-rc"
    } | grep -v --line-buffered -E '^\[ *[0-9]+\.[0-9]+\] (sysrq|reboot): ' || true
    [ -f "$ctl/qemu-rc" ] && rc=$(cat "$ctl/qemu-rc")
    if [ -f "$ctl/rc" ]; then
        rc=$(cat "$ctl/rc")
    elif [ "$rc" -eq 124 ]; then
        say "the guest did not finish within $limit s"
        rc=124
    else
        say "the guest ended without the command's exit code (qemu exit $rc)"
        rc=125
    fi
    rm -rf "$ctl"
    return "$rc"
}

guest_env=()
case "${1:-}" in
    image)
        ensure_image
        ;;
    run)
        shift
        limit=5400
        while (($#)); do
            case "$1" in
                --timeout) limit=$2; shift 2 ;;
                --env) guest_env+=("$2"); shift 2 ;;
                --) shift; break ;;
                *) break ;;
            esac
        done
        (($#)) || { echo "usage: $0 run [--timeout S] [--env NAME=VALUE]... -- COMMAND [ARG]..." >&2; exit 2; }
        image=$(ensure_image)
        rc=0
        boot_guest "$image" snapshot "$limit" "$@" || rc=$?
        exit "$rc"
        ;;
    *)
        echo "usage: $0 image | run [--timeout S] [--env NAME=VALUE]... -- COMMAND [ARG]..." >&2
        exit 2
        ;;
esac
