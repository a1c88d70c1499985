#!/bin/sh
# Runs a command (the reference host under wine; $WINE is the loader of the
# edition, whose winepath gives the Windows paths), shows its output and checks
# its exit code, that each expected text occurs in its output and that no
# rejected text does.
#   app_check.sh CODE [--expect TEXT | --reject TEXT]... -- COMMAND [ARG]...
# An argument of the form @win:PATH is replaced by PATH's wine (Windows) path.
expected_code=$1
shift
expects_file=$(mktemp)
rejects_file=$(mktemp)
out=$(mktemp)
trap 'rm -f "$expects_file" "$rejects_file" "$out"' EXIT
while [ "$1" = "--expect" ] || [ "$1" = "--reject" ]; do
    if [ "$1" = "--expect" ]; then
        printf '%s\n' "$2" >>"$expects_file"
    else
        printf '%s\n' "$2" >>"$rejects_file"
    fi
    shift 2
done
[ "$1" = "--" ] && shift
cmd=$1
shift
for a in "$@"; do
    case $a in
    @win:*) set -- "$@" "$("${WINE:-wine}" winepath -w "${a#@win:}" 2>/dev/null)" ;;
    *) set -- "$@" "$a" ;;
    esac
    shift
done
"$cmd" "$@" >"$out" 2>&1
code=$?
cat "$out"
status=0
if [ "$code" -ne "$expected_code" ]; then
    echo "app_check: exit code $code, expected $expected_code"
    status=1
fi
while IFS= read -r text; do
    if ! grep -qF -- "$text" "$out"; then
        echo "app_check: missing from the output: $text"
        status=1
    fi
done <"$expects_file"
while IFS= read -r text; do
    if grep -qF -- "$text" "$out"; then
        echo "app_check: in the output but must not be: $text"
        status=1
    fi
done <"$rejects_file"
exit $status
