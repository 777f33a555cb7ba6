# SPDX-License-Identifier: GPL-3.0-or-later
# Bash completion for veldo-cli: its commands, each command's options, the port numbers 1 to
# 16 after --port, folders after --backup, files after --output and for FILE, and after --device
# files or the beginnings of a remote port's URL.

_veldo_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        -p | --port)
            COMPREPLY=($(compgen -W '1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16' -- "$cur"))
            return ;;
        -d | --device)
            _filedir
            COMPREPLY+=($(compgen -W 'rfc2217:// rfc2217+tls://' -- "$cur"))
            # The host follows the scheme without a blank.
            [[ $cur == r* ]] && compopt -o nospace 2>/dev/null
            return ;;
        -o | --output)
            _filedir
            return ;;
        --backup)
            _filedir -d
            return ;;
    esac
    $split && return

    # The command is the first word that is neither an option nor an option's value.
    local i command=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            -p | --port | -d | --device | -o | --output | --backup) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done

    local common='-h --help -V --version -v --verbose -q --quiet'
    local target='-p --port -d --device'
    local options
    case $command in
        '')
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$common" -- "$cur"))
            else
                COMPREPLY=($(compgen -W 'ports download upload verify' -- "$cur"))
            fi
            return ;;
        ports) options="$common --json" ;;
        download) options="$common $target -o --output --no-keep" ;;
        upload) options="$common $target --verify --backup --no-keep" ;;
        verify) options="$common $target --no-keep" ;;
        *) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $command == upload || $command == verify ]]; then
        _filedir
    fi
}
complete -F _veldo_cli veldo-cli
