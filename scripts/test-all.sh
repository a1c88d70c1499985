#!/usr/bin/env bash
# Runs every test suite of PoolScope this machine can run: bootstraps what is
# missing, then builds and runs the ctest suites of
#   native, native-asan, fuzz   x86_64 Linux (engine, support, host logic)
#   i386                        the same portable tests as a 32-bit Linux
#                               program under qemu-i386-static
#   win64                       the 64-bit Windows edition under wine64, on
#                               every machine (a fresh wine prefix each run)
#   win32                       the 32-bit Windows edition under wine: always
#                               built; its suites run where scripts/runs-win32.sh
#                               says this machine executes 32-bit programs
# The Windows suites get a private Xvfb started and stopped here. The last
# lines say which editions' suites ran.
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
win32_note="the win32 suites ran"
if ./scripts/runs-win32.sh; then
    windows_suites win32
else
    win32_note="the win32 edition was built but its suites did NOT run: this machine cannot execute 32-bit programs"
    echo "=== win32: $win32_note ==="
fi

echo "suites passed: ${ran[*]} ($(( $(date +%s) - start )) s)"
echo "editions tested: 64-bit Windows (win64 under wine64); $win32_note"
