#!/bin/bash
# Drives the bash completion of tarvelin-table as bash does at a Tab: COMP_WORDS and
# COMP_CWORD set for a command line, the candidates compared with what they should be.
# Argument: the completion script.
set -u
source "$1" || exit 1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/sine.txt" "$folder/sine.h" "$folder/square.txt"
status=0
expect() { # a command line ending where the Tab is pressed, then the candidates
    local line=$1 wanted=$2
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tarvelin_table
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
    if [[ $got != "$wanted" ]]; then
        echo "\"$line\": got \"$got\", wanted \"$wanted\""
        status=1
    fi
}
expect "tarvelin-table " "--help --version analyse bank export verify"
expect "tarvelin-table bank " "--help convert export info join mipmaps morph split"
expect "tarvelin-table bank morph --method " "linear spectral"
expect "tarvelin-table bank convert --to w" "waveedit wt"
expect "tarvelin-table bank convert --sample-format " "float pcm16"
expect "tarvelin-table bank export --l" "--layout --length-macro"
expect "tarvelin-table bank info --j" "--json"
expect "tarvelin-table ex" "export"
expect "tarvelin-table export --format m" "mem memb mif"
expect "tarvelin-table export --format wav --s" "--sample-format --scale"
expect "tarvelin-table export --format ihex --r" "--record-bytes"
expect "tarvelin-table export --format coe --r" "--radix"
expect "tarvelin-table export --format bin --w" "--width"
expect "tarvelin-table export --t" "--type"
expect "tarvelin-table export --format mem --t" ""
expect "tarvelin-table export --type q" "q15 q31"
expect "tarvelin-table export --format bin --endian " "big little"
expect "tarvelin-table export --format vhdl --vhdl-type s" "signed std_logic_vector"
expect "tarvelin-table export --format wav --sample-format pcm" "pcm16 pcm24 pcm32 pcm8"
expect "tarvelin-table analyse --s" "--scale --signed --spectrum"
expect "tarvelin-table verify --o" ""
expect "tarvelin-table export --o" "--output"
expect "tarvelin-table export --format c $folder/si" "$folder/sine.h $folder/sine.txt"
expect "tarvelin-table export -o $folder/sq" "$folder/square.txt"
expect "tarvelin-table export --width " ""
exit $status
