#!/usr/bin/env bash
# The emulated 32-bit-capable guest (scripts/win32-guest.sh), end to end in two
# boots: a command's exit code and its output come back, it runs in the
# caller's folder of the shared tree and what it writes there stays, a file of
# the tree reads back unchanged, 32-bit programs run, the prepared win32
# prefix is in place and a large Windows program of the tree runs from it
# (without the guest's page cache on the share, wine mapped such a program
# with its code zeros), and nothing written outside the tree outlives a run.
# Needs the guest image (the first run of the script builds it) and the win32
# build; the test command runs it before the win32 suites.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
guest="$root/scripts/win32-guest.sh"
work="$root/build/guest-test"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
failures=0
check() { # check <what> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

head -c 3000000 /dev/urandom >"$work/large.bin"
sum=$(sha256sum <"$work/large.bin" | cut -d' ' -f1)

cd "$work" || exit 1
out=$("$guest" run -- bash -c 'echo "from the guest in $(pwd)"; echo to-stderr >&2;
    echo written >left-here; touch /root/outside-the-tree; exit 7' 2>&1)
rc=$?
check "the command's exit code comes back (7, got $rc)" test "$rc" -eq 7
check "its output and errors are streamed" grep -qx "from the guest in $work" <<<"$out"
check "its errors too" grep -qx "to-stderr" <<<"$out"
check "what it wrote in the tree stays" grep -qx written "$work/left-here"

out=$("$guest" run -- bash -c '
    echo "sum: $(sha256sum <large.bin | cut -d" " -f1)"
    "$0"/scripts/runs-win32.sh && echo "runs 32-bit programs"
    [ -f "$0"/build/win32/wine-prefix/.poolscope-ready ] && echo "prefix ready"
    WINEDEBUG=-all WINEARCH=win32 WINEPREFIX="$0"/build/win32/wine-prefix \
        wine "$0"/build/win32/bin/support_tests.exe --gtest_list_tests >listed 2>&1 &&
        grep -q "^[A-Za-z]" listed && echo "a large program runs"
    [ -e /root/outside-the-tree ] && echo "the last run left a file"
    exit 0' "$root" 2>&1)
rc=$?
check "the second run succeeds (got $rc)" test "$rc" -eq 0
check "a file of the tree reads back unchanged" grep -qx "sum: $sum" <<<"$out"
check "the guest runs 32-bit programs" grep -qx "runs 32-bit programs" <<<"$out"
check "the win32 prefix is ready where the suites look" grep -qx "prefix ready" <<<"$out"
check "a large Windows program of the tree runs under wine" grep -qx "a large program runs" <<<"$out"
check "a run leaves nothing outside the tree" test -z "$(grep -x "the last run left a file" <<<"$out")"

out=$(cd / && "$guest" run -- true 2>&1)
rc=$?
check "a folder outside the tree is refused (exit 2, got $rc)" test "$rc" -eq 2
check "with the reason" grep -q "is not in the tree" <<<"$out"

if ((failures)); then
    echo "win32_guest_test: $failures check(s) failed"
    exit 1
fi
echo "win32_guest_test: all checks passed"
