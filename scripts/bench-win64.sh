#!/usr/bin/env bash
# The Windows refresh benchmark in a 64-bit process under wine64 (see
# scripts/bench-windows.sh). Usage: scripts/bench-win64.sh [--tracks N]...
exec "$(dirname "$0")/bench-windows.sh" --edition win64 "$@"
