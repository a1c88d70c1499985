#!/usr/bin/env bash
# The main job: builds the 32-bit component and the reference host, then runs
# the host under wine with its built-in sample library, opens "Metadata Cache
# Statistics", opens the Library "Meta Value" pool window from it (as a
# double-click on that row does) and shows its Value page, prints the library
# figures and the tables of the windows (at most 40 rows per list) and saves
# screenshots into <build>/demo/ (PNG): statistics-1 the statistics window,
# statistics-2 the pool window. Exits with the host's exit code
# (0: everything loaded, no alert, no host contract breach; see refhost/README.md).
#
#   scripts/run-demo.sh [--interactive] [host options...]
#
# Host options are passed on, e.g. --library FILE, --generate 100000,
# --intern-values. --interactive keeps the host open (needs a DISPLAY).
# POOLSCOPE_BUILD_DIR chooses the build folder (default build/win32).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/bootstrap.sh >/dev/null
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-poolscope}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
./scripts/runs-win32.sh || exit 1

build="${POOLSCOPE_BUILD_DIR:-build/win32}"
cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" --target auvia-refhost poolscope shared_dll >/dev/null

bin="$build/bin"
out="$build/demo"
mkdir -p "$out"

if [ "${1:-}" = "--interactive" ]; then
    shift
    exec wine "$bin/auvia-refhost.exe" "$@"
fi

# Without a DISPLAY, a private X server on a display number nobody uses (a
# number in use would put the windows on someone else's screen).
own_x=""
if [ -z "${DISPLAY:-}" ]; then
    start=$((90 + RANDOM % 100))
    for offset in $(seq 0 99); do
        n=$((90 + (start - 90 + offset) % 100))
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        own_x=$!
        sleep 1
        if kill -0 "$own_x" 2>/dev/null; then
            export DISPLAY=":$n"
            break
        fi
        own_x=""
    done
    if [ -z "$own_x" ]; then
        echo "run-demo: could not start an X server (Xvfb)" >&2
        exit 1
    fi
fi
# Wine goes first, so that none of its processes loses its X server.
trap 'wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; [ -n "$own_x" ] && kill $own_x 2>/dev/null; true' EXIT

rm -f "$out"/statistics-*.bmp "$out"/statistics-*.png
code=0
wine "$bin/auvia-refhost.exe" "$@" --run "Metadata Cache Statistics" --wait-idle \
    --activate 0 2 --select-tab 1 --print-tables --max-rows 40 \
    --screenshot "$(winepath -w "$out")\\statistics" --exit || code=$?
for f in "$out"/*.bmp; do
    [ -e "$f" ] && convert "$f" -alpha off "${f%.bmp}.png" && rm -f "$f"
done
ls "$out"
if [ "$code" -ne 0 ]; then
    echo "run-demo: the host exited with code $code (see refhost/README.md)" >&2
fi
exit "$code"
