# Sourced by the scripts that run the Windows builds under wine:
#
#   . scripts/wine-edition.sh
#   use_edition win64|win32      # exports WINE, WINESERVER, WINEARCH, WINEPREFIX, ...
#   prepare_prefix               # makes $WINEPREFIX once (or again with --fresh)
#   pick_edition                 # prints win32 where 32-bit programs run, else win64
#
# Each edition has its own loader: the 64-bit build runs under wine64, called
# by its own path, because /usr/bin/wine (and the winepath, wineboot and reg
# commands through it) pick the 32-bit loader, which a kernel without IA-32
# emulation refuses. Each edition has its own prefix too (a win32 prefix can
# hold no 64-bit program): by default in the edition's build folder, so that a
# clean clone starts with a fresh one.

poolscope_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

use_edition() {
    case "$1" in
        win64) WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64 ;;
        win32) WINE=wine WINESERVER=wineserver WINEARCH=win32 ;;
        *) echo "wine-edition: no edition \"$1\" (win32 or win64)" >&2; return 1 ;;
    esac
    POOLSCOPE_EDITION=$1
    WINEPREFIX="${POOLSCOPE_WINEPREFIX:-$poolscope_root/build/$1/wine-prefix}"
    export WINE WINESERVER WINEARCH WINEPREFIX POOLSCOPE_EDITION
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# The edition this machine runs best: the product's own 32-bit one where the
# kernel executes 32-bit programs, else the 64-bit one.
pick_edition() {
    if "$poolscope_root/scripts/runs-win32.sh" 2>/dev/null; then echo win32; else echo win64; fi
}

# A wine command of the chosen edition (reg, winepath, cmd, wineboot).
wine_run() { "$WINE" "$@" </dev/null; }

# The prefix, made once: wine's fonts copied in (or dialogs come out too
# wide), the crash dialog off (or a crash hangs under Xvfb) and a virtual
# desktop so that top-level windows get a frame in screenshots. --fresh makes
# it again (an older prefix makes every window test seconds slower).
prepare_prefix() {
    local stamp="$WINEPREFIX/.poolscope-ready"
    if [ "${1:-}" = "--fresh" ] && [ -d "$WINEPREFIX" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    [ -f "$stamp" ] && return 0
    echo "wine-edition: creating the $POOLSCOPE_EDITION wine prefix $WINEPREFIX" >&2
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine_run wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wine_run reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine_run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    wine_run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    [ -d "$WINEPREFIX/drive_c/windows" ] || { echo "wine-edition: wine could not create $WINEPREFIX" >&2; return 1; }
    touch "$stamp"
}

# A private X server on a display number nobody uses; sets DISPLAY and
# POOLSCOPE_XVFB_PID. The caller stops it (stop_private_x).
start_private_x() {
    local start=$((90 + RANDOM % 100)) offset n pid
    for offset in $(seq 0 99); do
        n=$((90 + (start - 90 + offset) % 100))
        { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        sleep 1
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$n"
            POOLSCOPE_XVFB_PID=$pid
            return 0
        fi
    done
    echo "wine-edition: could not start an X server (Xvfb)" >&2
    return 1
}

stop_private_x() {
    if [ -n "${POOLSCOPE_XVFB_PID:-}" ]; then
        kill "$POOLSCOPE_XVFB_PID" 2>/dev/null || true
    fi
    POOLSCOPE_XVFB_PID=""
}

# Stops the edition's wine services (none running is fine). For EXIT traps,
# which run under the caller's set -e: nothing here may fail.
stop_wine() {
    if [ -n "${WINESERVER:-}" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
        "$WINESERVER" -w >/dev/null 2>&1 || true
    fi
}
