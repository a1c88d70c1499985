#!/usr/bin/env bash
# The refresh benchmark in the product's own setting: the engine and the
# reference host's library built by the win32 preset, one 32-bit process per
# size under wine. Prints, for each size, the tables and then `key value` lines
# (floor_s, refresh_s, refresh_vs_floor, physical_strings, peak_extra_bytes,
# peak_extra_bytes_per_physical, largest_block_bytes), then the Combined "All"
# pool window over the same library (pool_all_open_s, pool_all_lock_held_s,
# pool_all_engine_s, pool_all_rows, pool_sort_value_s).
#
# Usage: scripts/bench-win32.sh [--tracks N]...   (default: 100000 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=()
while (($#)); do
    case "$1" in
        --tracks) sizes+=("$2"); shift 2 ;;
        *) echo "usage: $0 [--tracks N]..." >&2; exit 1 ;;
    esac
done
((${#sizes[@]})) || sizes=(100000 1000000)

./scripts/bootstrap.sh >/dev/null
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-poolscope}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
./scripts/runs-win32.sh || exit 1
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target poolscope_bench_win32 pool_window_timing >/dev/null

# The reference host opens a (hidden) main window: a private X server.
display=""
for n in $(seq 140 199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1

for n in "${sizes[@]}"; do
    echo "== $n tracks"
    wine build/win32/bin/poolscope_bench_win32.exe --tracks "$n" </dev/null
    wine build/win32/bin/pool_window_timing.exe "$n" 6 </dev/null
done
