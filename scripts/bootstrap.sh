#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test PoolScope, and
# prepares the wine prefix. Idempotent: a second run only checks and returns.
set -euo pipefail

need_pkgs=(g++ cmake ninja-build clang libclang-rt-14-dev googletest libgtest-dev
           libbenchmark-dev g++-mingw-w64-i686 wine wine32:i386 xvfb xauth
           fonts-wine imagemagick clang-format)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    missing=("${need_pkgs[@]}")
else
    for p in "${need_pkgs[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
fi

if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "bootstrap: installing ${missing[*]}"
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The wine prefix: created once, with wine's fonts copied in (or dialogs come out
# too wide), the crash dialog off (or a crash hangs under Xvfb) and a virtual
# desktop so that top-level windows get a frame in screenshots.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-poolscope}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
stamp="$WINEPREFIX/.poolscope-ready"
if [ ! -f "$stamp" ]; then
    echo "bootstrap: creating wine prefix $WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f </dev/null >/dev/null 2>&1
    wineserver -k || true
    wineserver -w || true
    touch "$stamp"
fi
echo "bootstrap: ready (WINEPREFIX=$WINEPREFIX)"
