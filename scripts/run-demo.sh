#!/usr/bin/env bash
# The main job: builds the component and the reference host of the Windows
# edition this machine runs (the product's own 32-bit edition where the
# kernel executes 32-bit programs, else the 64-bit edition under wine64; it
# says which), then runs the host under wine with its built-in sample
# library, opens "Metadata Cache Statistics", opens the Library "Meta Value"
# pool window from it (as a double-click on that row does) and shows its
# Value page, prints the library figures and the tables of the windows (at
# most 40 rows per list) and saves screenshots into <build>/demo/ (PNG):
# statistics-1 the statistics window, statistics-2 the pool window. Exits
# with the host's exit code (0: everything loaded, no alert, no host contract
# breach; see refhost/README.md).
#
#   scripts/run-demo.sh [--edition win32|win64] [--interactive] [host options...]
#
# Host options are passed on, e.g. --library FILE, --generate 100000,
# --intern-values. --interactive keeps the host open (needs a DISPLAY).
# POOLSCOPE_BUILD_DIR chooses the build folder (default build/<edition>).
# --edition win32 on a machine that cannot run 32-bit programs builds here
# and runs the host in the emulated guest of scripts/win32-guest.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

in_guest="${POOLSCOPE_IN_GUEST:-}"
[ -n "$in_guest" ] || ./scripts/bootstrap.sh >/dev/null
. scripts/wine-edition.sh
if [ "${1:-}" = "--edition" ]; then
    edition="$2"
    shift 2
else
    edition=$(pick_edition)
fi
via_guest=""
if [ "$edition" = win32 ]; then
    if ./scripts/runs-win32.sh 2>/dev/null; then
        [ -n "$in_guest" ] || echo "run-demo: the 32-bit edition (this machine runs 32-bit programs)"
    else
        via_guest=1
        echo "run-demo: the 32-bit edition, in the emulated 32-bit-capable guest of scripts/win32-guest.sh (this machine cannot run 32-bit programs; slow)"
    fi
else
    echo "run-demo: the 64-bit edition under wine64$(./scripts/runs-win32.sh 2>/dev/null || echo " (this machine cannot run 32-bit programs)")"
fi
use_edition "$edition"

build="${POOLSCOPE_BUILD_DIR:-build/$edition}"
if [ -z "$in_guest" ]; then
    cmake --preset "$edition" -B "$build" >/dev/null
    cmake --build "$build" --target auvia-refhost poolscope shared_dll >/dev/null
fi
bin="$build/bin"
out="$build/demo"
mkdir -p "$out"

# Screenshots come out as BMP; PNG is made here (the guest has no converter).
to_png() {
    local f
    for f in "$out"/*.bmp; do
        [ -e "$f" ] && convert "$f" -alpha off "${f%.bmp}.png" && rm -f "$f"
    done
    ls "$out"
}

if [ -n "$via_guest" ]; then
    [ "${1:-}" = "--interactive" ] && { echo "run-demo: --interactive needs a machine that runs 32-bit programs" >&2; exit 2; }
    code=0
    ./scripts/win32-guest.sh run --env "POOLSCOPE_BUILD_DIR=$build" -- \
        scripts/run-demo.sh --edition win32 "$@" || code=$?
    to_png
    exit "$code"
fi
prepare_prefix

if [ "${1:-}" = "--interactive" ]; then
    shift
    exec "$WINE" "$bin/auvia-refhost.exe" "$@"
fi

# Without a DISPLAY, a private X server on a display number nobody uses (a
# number in use would put the windows on someone else's screen).
[ -n "${DISPLAY:-}" ] || start_private_x
# Wine goes first, so that none of its processes loses its X server.
trap 'stop_wine; stop_private_x' EXIT

rm -f "$out"/statistics-*.bmp "$out"/statistics-*.png
code=0
"$WINE" "$bin/auvia-refhost.exe" "$@" --run "Metadata Cache Statistics" --wait-idle \
    --activate 0 2 --select-tab 1 --print-tables --max-rows 40 \
    --screenshot "$(wine_run winepath -w "$out")\\statistics" --exit || code=$?
[ -n "$in_guest" ] || to_png
if [ "$code" -ne 0 ]; then
    echo "run-demo: the host exited with code $code (see refhost/README.md)" >&2
fi
exit "$code"
