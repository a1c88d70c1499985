#!/usr/bin/env bash
# The main job: builds the 32-bit component and the reference host, then runs
# the host under wine with its built-in sample library, opens "Metadata Cache
# Statistics", prints the tables of the windows and saves screenshots into
# build/win32/demo/. Pass --interactive to keep the host open (needs a DISPLAY).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/bootstrap.sh >/dev/null
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-poolscope}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target auvia-refhost poolscope shared_dll >/dev/null

bin=build/win32/bin
out=build/win32/demo
mkdir -p "$out"

if [ "${1:-}" = "--interactive" ]; then
    exec wine "$bin/auvia-refhost.exe"
fi

own_x=""
if [ -z "${DISPLAY:-}" ]; then
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    own_x=$!
    export DISPLAY="$display"
    sleep 1
fi
trap '[ -n "$own_x" ] && kill $own_x 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT

wine "$bin/auvia-refhost.exe" --run "Metadata Cache Statistics" --wait-idle --print-tables \
    --screenshot "$(winepath -w "$out")\\statistics" --exit
for f in "$out"/*.bmp; do
    [ -e "$f" ] && convert "$f" -alpha off "${f%.bmp}.png" && rm -f "$f"
done
ls "$out"
