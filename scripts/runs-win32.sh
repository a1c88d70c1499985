#!/usr/bin/env bash
# Answers (exit 0) whether this machine can run the 32-bit Windows build under
# wine; otherwise prints why on stderr and exits 1. Wine runs 32-bit Windows
# programs as 32-bit Linux processes, so a kernel that refuses 32-bit
# executables (no IA-32 emulation, as in some virtual machines) can build the
# win32 preset but run none of it.
set -uo pipefail
probe=/usr/lib/wine/wineserver32
if [ ! -x "$probe" ]; then
    echo "runs-win32: $probe is missing (run scripts/bootstrap.sh)" >&2
    exit 1
fi
# A 32-bit program that runs only because a qemu-user binfmt registration
# emulates it does not count: wine32 stalls under qemu-user.
for entry in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i486; do
    if [ -f "$entry" ] && head -n 1 "$entry" | grep -qx enabled; then
        echo "runs-win32: 32-bit x86 programs would run here only through qemu-user ($entry), under which wine cannot run the 32-bit Windows build" >&2
        exit 1
    fi
done
"$probe" --version >/dev/null 2>&1
rc=$?
if [ "$rc" -eq 126 ] || [ "$rc" -eq 127 ]; then
    echo "runs-win32: this machine's kernel does not execute 32-bit x86 programs ($probe: exit $rc, exec format error), so wine cannot run the 32-bit Windows build here" >&2
    exit 1
fi
exit 0
