#!/usr/bin/env bash
# Runs the ctest suites of the 32-bit Windows edition (build/win32, built
# beforehand) under wine, with a private X server. Where this machine runs
# 32-bit programs, the test command calls it directly (with --fresh-prefix);
# elsewhere it runs in the 32-bit-capable guest of scripts/win32-guest.sh,
# whose prefix is fresh in every run already.
#
#   scripts/win32-suites.sh [--fresh-prefix] [CTEST ARG]...
set -euo pipefail
cd "$(dirname "$0")/.."

fresh=()
if [ "${1:-}" = "--fresh-prefix" ]; then
    fresh=(--fresh)
    shift
fi

. scripts/wine-edition.sh
use_edition win32
trap 'stop_wine; stop_private_x' EXIT
start_private_x
prepare_prefix "${fresh[@]}"
start=$SECONDS
ctest --preset win32 "$@"
echo "win32 suites: passed in $((SECONDS - start)) s on $(uname -n)"
