#!/bin/bash
# The 32-bit poolscope.dll registers its unwind tables from the label
# _poolscope_eh_frame_start on (src/host/frame_registration_win32.cpp), so the
# label must lie in front of every frame of ours. In the built DLL: the label
# is in .eh_frame where a CIE starts, every FDE in front of it belongs to a
# function of the start-up objects (those the compiler links in front of ours),
# and the FDEs of the entry point, of the registration and of the runtime's
# throw lie behind it.
# Usage: eh_frame_order_check.sh DLL OBJDUMP STARTUP_OBJECT...
set -euo pipefail

dll=$1
objdump=$2
shift 2
if ! command -v "$objdump" >/dev/null 2>&1; then
    echo "SKIP: $objdump is not installed"
    exit 77
fi

fail() {
    echo "FAIL: $*"
    exit 1
}

# "section type value name" for every symbol of a COFF symbol table.
symbol_table() {
    "$objdump" -t "$1" |
        sed -n 's/.*(sec *\([-0-9]*\)).*(ty *\([0-9a-f]*\)).* 0x\([0-9a-f]*\) \(.*\)$/\1 \2 \3 \4/p'
}

declare -A startup_functions=()
for object in "$@"; do
    [[ -f $object ]] || fail "start-up object $object not found"
    while read -r _ type _ name; do
        [[ $type == 20 ]] && startup_functions[$name]=1
    done < <(symbol_table "$object")
done
((${#startup_functions[@]} > 0)) || fail "no functions in the start-up objects"

# Section numbers of the symbol table count from 1, objdump -h from 0.
declare -A section_name=() section_vma=()
while read -r index name _ vma _; do
    section_name[$((index + 1))]=$name
    section_vma[$((index + 1))]=$((16#$vma))
done < <("$objdump" -h "$dll" | awk '$1 ~ /^[0-9]+$/')

marker=""
declare -A function_at=() address_of=()
while read -r section type value name; do
    if [[ $name == _poolscope_eh_frame_start ]]; then
        [[ ${section_name[$section]:-} == .eh_frame ]] ||
            fail "the marker is in section ${section_name[$section]:-$section}, not .eh_frame"
        marker=$((16#$value))
    elif [[ $type == 20 && ${section_name[$section]:-} == .text ]]; then
        address=$((section_vma[$section] + 16#$value))
        function_at[$address]=$name
        address_of[$name]=$address
    fi
done < <(symbol_table "$dll")
[[ -n $marker ]] || fail "no symbol _poolscope_eh_frame_start in $dll"

declare -A fde_offset=()
cie_at_marker=no in_front=0 behind=0
while read -r offset kind pc; do
    offset=$((16#$offset))
    if [[ $kind == CIE ]]; then
        ((offset == marker)) && cie_at_marker=yes
        continue
    fi
    begin=$((16#${pc%%..*}))
    fde_offset[$begin]=$offset
    if ((offset < marker)); then
        name=${function_at[$begin]:-?}
        [[ -n ${startup_functions[$name]:-} ]] ||
            fail "FDE at .eh_frame+$(printf %#x "$offset") for $name lies in front of the marker"
        in_front=$((in_front + 1))
    else
        behind=$((behind + 1))
    fi
done < <("$objdump" --dwarf=frames "$dll" |
    awk '$4 == "CIE" { print $1, "CIE", "-" } $4 == "FDE" { sub("pc=", "", $6); print $1, "FDE", $6 }')
[[ $cie_at_marker == yes ]] || fail "no CIE starts at the marker (.eh_frame+$(printf %#x "$marker"))"

for name in _auvia_get_interface __ZN12_GLOBAL__N_119register_own_framesEv ___cxa_throw \
    __Unwind_RaiseException; do
    address=${address_of[$name]:-}
    [[ -n $address ]] || fail "no function $name in $dll"
    offset=${fde_offset[$address]:-}
    [[ -n $offset ]] || fail "no FDE for $name"
    ((offset >= marker)) || fail "the FDE of $name lies in front of the marker"
done

echo "marker at .eh_frame+$(printf %#x "$marker"): $in_front FDEs of the start-up code in front," \
    "$behind behind"
