# bash completion for tarvelin-table: subcommands, the options that apply to the chosen
# subcommand and --format, the values of options that take one of a few, file names elsewhere.

_tarvelin_table_options() { # subcommand, format, whether --form was given, bank's subcommand
    local sub=$1 format=$2 form=$3 bank=${4:-}
    if [[ $sub == bank ]]; then
        case $bank in
        info) echo "--json --frame-size --channel --help" ;;
        convert) echo "--to --sample-format --frame-size --channel --interp --rate --samples --resample -o --output --help" ;;
        split) echo "--frame-size --channel --dir --help" ;;
        join) echo "--to --sample-format --interp --rate --samples --resample -o --output --help" ;;
        morph) echo "--frames --method --to --sample-format --interp --rate -o --output --help" ;;
        mipmaps) echo "--levels --halve --frame-size --channel --to --sample-format --interp --rate -o --output --help" ;;
        export) echo "--layout --frame-size --channel $(_tarvelin_table_options export "$format" "")" ;;
        esac
        return
    fi
    if [[ $sub == analyse ]]; then
        echo "--type --width --signed --scale --json --spectrum --help"
        return
    fi
    local options="--help"
    [[ $sub == export ]] && options+=" -o --output"
    if [[ -n $form ]]; then
        echo "$options --form --name --per-line --before --after --guard --length-macro --no-stdint --eol"
        return
    fi
    options+=" --format --form --scale"
    [[ $format != wav ]] && options+=" --guard-point --quarter-wave"
    case $format in
    c) options+=" --type --hex --before --after --no-stdint --guard --length-macro --per-line --name --eol" ;;
    cpp) options+=" --type --hex --guard --length-macro --per-line --name --eol" ;;
    rust) options+=" --type --hex --per-line --name --eol" ;;
    mem | memb) options+=" --width --signed --per-line --name --eol" ;;
    coe) options+=" --width --signed --radix --per-line --name --eol" ;;
    mif) options+=" --width --signed --radix --name --eol" ;;
    ihex) options+=" --width --signed --endian --base --record-bytes --eol" ;;
    bin) options+=" --width --signed --endian" ;;
    vhdl) options+=" --width --signed --vhdl-type --per-line --name --eol" ;;
    wav) options+=" --rate --sample-format --wavetable" ;;
    esac
    echo "$options"
}

_tarvelin_table() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local sub="" bank="" format=c form="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        info | convert | split | join | morph | mipmaps) [[ $sub == bank && -z $bank ]] && bank=${COMP_WORDS[i]} ;;
        export | verify | analyse | bank)
            if [[ -z $sub ]]; then
                sub=${COMP_WORDS[i]}
            elif [[ $sub == bank && -z $bank ]]; then
                bank=${COMP_WORDS[i]}
            fi
            ;;
        --format) format=${COMP_WORDS[i + 1]} ;;
        --form) form=1 ;;
        esac
    done
    local values=""
    case $prev in
    --format) values="c cpp rust mem memb coe mif ihex bin vhdl wav" ;;
    --type) values="int8 uint8 int16 uint16 int32 uint32 float double q15 q31" ;;
    --form) values="int float" ;;
    --sample-format) [[ $sub == bank && $bank != export ]] && values="float pcm16" || values="pcm8 pcm16 pcm24 pcm32 float" ;;
    --to) values="serum waveedit 64x128 modwave wt csv" ;;
    --channel) values="first mix" ;;
    --interp) values="none crossfade spectral" ;;
    --resample) values="linear cubic band-limited" ;;
    --layout) values="2d flat" ;;
    --method) values="spectral linear" ;;
    --dir)
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --endian) values="little big" ;;
    --radix) values="2 10 16" ;;
    --eol) values="lf crlf" ;;
    --vhdl-type) values="std_logic_vector signed unsigned integer" ;;
    --record-bytes) values="16 32" ;;
    --scale) values="auto full" ;;
    -o | --output | --spectrum)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --width | --per-line | --rate | --base | --name | --before | --after | --guard | --length-macro | --frame-size | --samples | --frames | --levels)
        COMPREPLY=()
        return
        ;;
    esac
    if [[ -n $values ]]; then
        COMPREPLY=($(compgen -W "$values" -- "$cur"))
    elif [[ -z $sub ]]; then
        COMPREPLY=($(compgen -W "export verify analyse bank --help --version" -- "$cur"))
    elif [[ $sub == bank && -z $bank ]]; then
        COMPREPLY=($(compgen -W "info convert export split join morph mipmaps --help" -- "$cur"))
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_tarvelin_table_options "$sub" "$format" "$form" "$bank")" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -o filenames -F _tarvelin_table tarvelin-table
