#!/usr/bin/env bash
# The bootstrap's handling of an out-of-step mirror, with a stand-in apt-get
# earlier on PATH: each case sets how update and the first installs fail and
# checks the exit code, the apt-get calls made and what the bootstrap said.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bootstrap="$here/../../scripts/bootstrap.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")

mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
# Stand-in apt-get: logs its arguments; FAKE_UPDATE is a list of exit codes for
# successive updates, FAKE_INSTALL one of "ok", "resolve" or "fetch" for
# successive installs (the last one repeats).
echo "$*" >>"$FAKE_LOG"
next() { # next <state file> <list>: the list's entry for this call
    local n; n=$(cat "$1" 2>/dev/null || echo 0); echo $((n + 1)) >"$1"
    local -a items; read -r -a items <<<"$2"
    ((n >= ${#items[@]})) && n=$((${#items[@]} - 1)); echo "${items[$n]}"
}
case "$1" in
update)
    rc=$(next "$FAKE_LOG.update" "$FAKE_UPDATE")
    if [ "$rc" != 0 ]; then
        echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    fi
    exit "$rc" ;;
install)
    case $(next "$FAKE_LOG.install" "$FAKE_INSTALL") in
    ok) exit 0 ;;
    resolve) echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
    fetch) echo "E: Failed to fetch http://deb.example/pool/main/w/wine/wine32.deb  Temporary failure resolving 'deb.example'"; exit 100 ;;
    esac ;;
esac
exit 0
FAKE
chmod +x "$work/bin/apt-get"

failures=0
# check <name> <update codes> <install outcomes> <expected exit> <expected install calls> <text the output must hold>
check() {
    local name=$1 update=$2 install=$3 want_rc=$4 want_calls=$5 want_text=$6
    local log="$work/$name.log" rc=0 out
    out=$(PATH="$work/bin:$PATH" FAKE_LOG="$log" FAKE_UPDATE="$update" FAKE_INSTALL="$install" \
        POOLSCOPE_PACKAGES="poolscope-test-absent-a poolscope-test-absent-b" POOLSCOPE_APT_PAUSE=0 \
        POOLSCOPE_SUDO="" "$bootstrap" --packages-only 2>&1) || rc=$?
    local calls
    calls=$(grep '^install' "$log" | sed 's/-y -qq --no-install-recommends //' | paste -sd '|' -)
    if [ "$rc" != "$want_rc" ] || [ "$calls" != "$want_calls" ] || ! grep -qF -- "$want_text" <<<"$out"; then
        echo "FAIL $name: exit $rc (want $want_rc)"
        echo "  install calls: $calls"
        echo "  want:          $want_calls"
        echo "  output must hold: $want_text"
        sed 's/^/  | /' <<<"$out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

pkgs="poolscope-test-absent-a poolscope-test-absent-b"
check mirror_out_of_step "100" "resolve ok" 0 \
    "install $pkgs|install -t $codename $pkgs" "installed from $codename"
check update_warning_names_index "100" "resolve ok" 0 \
    "install $pkgs|install -t $codename $pkgs" \
    "warning: apt-get update exited 100; could not fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz"
check every_install_fails "100" "resolve" 1 \
    "install $pkgs|install -t $codename $pkgs" "run: apt-get update && apt-get install -t $codename"
check every_install_fails_shows_apt_error "100" "resolve" 1 \
    "install $pkgs|install -t $codename $pkgs" "E: Unable to correct problems"
check transient_fetch_retried "0" "fetch ok" 0 "install $pkgs|install $pkgs" "attempt 1 of 3"
check update_retried_until_fetched "100 100 0" "ok" 0 "install $pkgs" "apt-get update failed to fetch (attempt 2 of 3)"
check fetch_never_recovers "0" "fetch" 1 \
    "install $pkgs|install $pkgs|install $pkgs|install -t $codename $pkgs|install -t $codename $pkgs|install -t $codename $pkgs" \
    "Temporary failure resolving"

if grep -c '^update' "$work/update_retried_until_fetched.log" | grep -qx 3; then
    echo "ok   update_called_three_times"
else
    echo "FAIL update_called_three_times"; failures=$((failures + 1))
fi
exit $((failures > 0))
