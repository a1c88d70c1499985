#!/usr/bin/env bash
# The Windows refresh benchmark in the product's own setting, a 32-bit process
# under wine (see scripts/bench-windows.sh). Usage: scripts/bench-win32.sh [--tracks N]...
exec "$(dirname "$0")/bench-windows.sh" --edition win32 "$@"
