#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test PoolScope.
# Idempotent: a second run only checks and returns. The wine prefixes are
# made by the scripts that run wine (scripts/wine-edition.sh), one per edition.
# Every script of the project that needs packages (tests, demo, benchmark, CI)
# calls this one, so the mirror handling below is the only one there is.
#
#   scripts/bootstrap.sh [--packages-only]
#
# --packages-only is accepted for older callers: the bootstrap installs
# packages only.
# Environment, for the tests of this script: POOLSCOPE_PACKAGES replaces the
# package list, POOLSCOPE_APT_ATTEMPTS (default 3) and POOLSCOPE_APT_PAUSE
# (seconds, default 5) set the retries of a failed fetch, POOLSCOPE_SUDO the
# command that runs apt-get when not root (default sudo).
#
# A Debian mirror can be out of step with itself: one index fails ("File has
# unexpected size ... Mirror sync in progress?"), apt-get update exits 100,
# and a plain install may then not resolve (the security versions of amd64
# libraries known, only the release versions of their i386 twins). So a
# failed update is a warning, fetch failures are retried, and an install that
# cannot resolve is tried again preferring the release's own suite.
set -euo pipefail

need_pkgs=(g++ cmake ninja-build clang libclang-rt-14-dev googletest libgtest-dev
           libbenchmark-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386
           wine64 xvfb xauth fonts-wine imagemagick clang-format g++-multilib
           qemu-user-static lld llvm-14)
if [ -n "${POOLSCOPE_PACKAGES:-}" ]; then
    read -r -a need_pkgs <<<"$POOLSCOPE_PACKAGES"
fi

attempts="${POOLSCOPE_APT_ATTEMPTS:-3}"
pause="${POOLSCOPE_APT_PAUSE:-5}"
if [ "$(id -u)" -eq 0 ]; then
    sudo_cmd=()
else
    read -r -a sudo_cmd <<<"${POOLSCOPE_SUDO-sudo}"
fi

say() { echo "bootstrap: $*" >&2; }

# A failure to fetch (network, a mirror mid-sync) may pass; one to resolve will not.
is_fetch_failure() {
    grep -qE "Failed to fetch|Unable to fetch some archives|Temporary failure|Could not connect|Connection failed|Hash Sum mismatch|unexpected size" <<<"$1"
}

# Runs apt-get update, retrying fetch failures; a failure that remains is a
# warning naming the indexes that failed, and the install goes on with the
# indexes that could be fetched.
apt_update() {
    local out rc=0 try
    for ((try = 1; try <= attempts; try++)); do
        rc=0
        out=$("${sudo_cmd[@]}" apt-get update -qq 2>&1) || rc=$?
        ((rc == 0)) && return 0
        is_fetch_failure "$out" || break
        ((try < attempts)) && { say "apt-get update failed to fetch (attempt $try of $attempts); retrying in ${pause} s"; sleep "$pause"; }
    done
    local failed
    failed=$(grep -oE "Failed to fetch [^ ]+" <<<"$out" | sed 's/^Failed to fetch //' | paste -sd ' ' -)
    say "warning: apt-get update exited $rc; could not fetch ${failed:-an index (${out//$'\n'/ })}; going on with the indexes it could fetch"
}

# Installs the packages, retrying fetch failures. Answers apt-get's exit code;
# its output is left in install_output.
install_output=""
apt_install() {
    local rc=0 try
    for ((try = 1; try <= attempts; try++)); do
        rc=0
        install_output=$(DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
            --no-install-recommends "$@" 2>&1) || rc=$?
        ((rc == 0)) && return 0
        is_fetch_failure "$install_output" || return "$rc"
        ((try < attempts)) && { say "apt-get install failed to fetch (attempt $try of $attempts); retrying in ${pause} s"; sleep "$pause"; }
    done
    return "$rc"
}

missing=()
for p in "${need_pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    say "installing ${missing[*]}"
    if [[ " ${missing[*]}" == *":i386"* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    apt_update
    if ! apt_install "${missing[@]}"; then
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
        reason=$(grep -m1 -E "^E: " <<<"$install_output" || true)
        say "the plain install failed (${reason:-apt-get exited non-zero}); installing again preferring the release's own suite (-t $codename), whose versions an out-of-step mirror still has for every architecture"
        if ! apt_install -t "$codename" "${missing[@]}"; then
            echo "$install_output" >&2
            say "could not install ${missing[*]}, not even from $codename; try again once the mirror has synced, or run: apt-get update && apt-get install -t $codename ${missing[*]}"
            exit 1
        fi
        say "installed from $codename"
    fi
fi

echo "bootstrap: ready" >&2
