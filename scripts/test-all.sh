#!/usr/bin/env bash
# Runs every test suite of PoolScope this machine can run: bootstraps what is
# missing, then builds and runs the ctest suites of
#   native, native-asan, fuzz   x86_64 Linux (engine, support, host logic)
#   i386                        the same portable tests as a 32-bit Linux
#                               program under qemu-i386-static
#   win64                       the 64-bit Windows edition under wine64, on
#                               every machine (a fresh wine prefix each run)
#   win32                       the 32-bit Windows edition under wine: natively
#                               where scripts/runs-win32.sh says this machine
#                               executes 32-bit programs, else in the emulated
#                               32-bit-capable guest of scripts/win32-guest.sh
#                               (its image is built on first use, ~7 min)
# The Windows suites get a private Xvfb. The last lines say which editions'
# suites ran, and where.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/bootstrap.sh
. scripts/wine-edition.sh

start=$(date +%s)
ran=()
for preset in native native-asan fuzz i386; do
    echo "=== $preset ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
    ran+=("$preset")
done

# Wine first, so that none of its processes loses its X server.
trap 'stop_wine; stop_private_x' EXIT
start_private_x

# Runs one Windows edition's suites in a fresh prefix of its own.
windows_suites() {
    use_edition "$1"
    prepare_prefix --fresh
    ctest --preset "$1"
    stop_wine
    ran+=("$1")
}

for edition in win64 win32; do
    echo "=== $edition ==="
    use_edition "$edition"
    cmake --preset "$edition" >/dev/null
    cmake --build --preset "$edition"
done

windows_suites win64
if ./scripts/runs-win32.sh; then
    echo "=== win32 ==="
    ./scripts/win32-suites.sh --fresh-prefix
    win32_note="the 32-bit edition's suites ran natively (win32 under wine)"
else
    echo "=== win32, in the emulated 32-bit-capable guest: this machine cannot execute 32-bit programs ==="
    # The win32 build's checks that need no wine run here: the guest has no
    # binutils, and would skip them.
    ctest --preset win32 -R '^eh_frame_order$'
    # The guest image (built once, reused while its recipe holds), then a
    # check of the guest itself.
    ./scripts/win32-guest.sh image >/dev/null
    bash tests/scripts/win32_guest_test.sh
    ./scripts/win32-guest.sh run --timeout 3600 -- scripts/win32-suites.sh
    win32_note="the 32-bit edition's suites ran in the emulated guest (win32 under wine in qemu-system-x86_64), as this machine cannot execute 32-bit programs"
fi
ran+=(win32)

echo "suites passed: ${ran[*]} ($(( $(date +%s) - start )) s)"
echo "editions tested: 64-bit Windows (win64 under wine64); $win32_note"
