#!/usr/bin/env bash
# The refresh benchmark in a Windows process under wine, in either edition:
# the engine and the reference host's generated library built by the win32 or
# win64 preset, one process per size. Prints, for each size, the tables and
# then `key value` lines (tracks, floor_s, refresh_s, refresh_vs_floor,
# refresh_vs_floor_of_each_round, physical_strings, pointer_bytes, peak_extra_bytes,
# peak_extra_bytes_per_physical, largest_block_bytes), then the Combined
# "All" pool window over the same library (pool_all_open_s,
# pool_all_lock_held_s, pool_all_engine_s, pool_all_rows, pool_sort_value_s).
# The figures of the tables are the same in both editions; the memory
# figures are the edition's own (pointers are 8 bytes in the 64-bit one).
# Where 32-bit programs do not run, the win32 edition runs in the emulated
# guest of scripts/win32-guest.sh, for its memory figures only.
#
# Usage: scripts/bench-windows.sh --edition win32|win64 [--tracks N]...
#        (default: 100000 1000000; scripts/bench-win32.sh and
#        scripts/bench-win64.sh choose the edition)
set -euo pipefail
cd "$(dirname "$0")/.."

edition=""
sizes=()
while (($#)); do
    case "$1" in
        --edition) edition="$2"; shift 2 ;;
        --tracks) sizes+=("$2"); shift 2 ;;
        *) echo "usage: $0 --edition win32|win64 [--tracks N]..." >&2; exit 1 ;;
    esac
done
((${#sizes[@]})) || sizes=(100000 1000000)

# Where this machine cannot run 32-bit programs, the win32 benchmark is built
# here and run in the emulated 32-bit-capable guest (scripts/win32-guest.sh),
# for its memory figures: its times there are no match for native ones.
in_guest="${POOLSCOPE_IN_GUEST:-}"
[ -n "$in_guest" ] || ./scripts/bootstrap.sh >/dev/null
. scripts/wine-edition.sh
use_edition "$edition" || exit 1
via_guest=""
if [ "$edition" = win32 ] && [ -z "$in_guest" ] && ! ./scripts/runs-win32.sh 2>/dev/null; then
    via_guest=1
fi
if [ -z "$in_guest" ]; then
    cmake --preset "$edition" >/dev/null
    cmake --build --preset "$edition" --target poolscope_bench_win32 pool_window_timing >/dev/null
fi
if [ -n "$via_guest" ]; then
    echo "bench-windows: this machine cannot run 32-bit programs; running the win32 benchmark in the emulated guest"
    args=()
    for n in "${sizes[@]}"; do args+=(--tracks "$n"); done
    exec ./scripts/win32-guest.sh run -- scripts/bench-windows.sh --edition win32 "${args[@]}"
fi
prepare_prefix >/dev/null

# The reference host opens a (hidden) main window: a private X server.
start_private_x
trap 'stop_wine; stop_private_x' EXIT

where=""
[ -n "$in_guest" ] && where=", in the emulated guest: its times are not comparable with native ones, its memory figures are"
bin="build/$edition/bin"
for n in "${sizes[@]}"; do
    echo "== $n tracks ($edition$where)"
    "$WINE" "$bin/poolscope_bench_win32.exe" --tracks "$n" </dev/null
    "$WINE" "$bin/pool_window_timing.exe" "$n" 6 </dev/null
done
