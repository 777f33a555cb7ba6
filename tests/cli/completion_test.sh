#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives veldo-cli's bash completion as bash-completion does on a Tab, and checks what it
# offers; then that each command's Tab offers the options its help lists.
# Usage: completion_test.sh COMPLETION_FILE VELDO_CLI
set -uo pipefail
completion=$(realpath "$1") cli=$(realpath "$2")
loader=/usr/share/bash-completion/bash_completion
[ -r "$loader" ] || { echo "FAIL: $loader is missing: sudo apt install bash-completion"; exit 1; }
source "$loader"
source "$completion"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" && mkdir backups && touch site.ini

# offered <line>: the words a Tab at the end of the line offers, sorted, on one line.
offered() {
    local line=$1
    COMP_LINE=$line COMP_POINT=${#line}
    # bash splits words at blanks and around "=", and a trailing blank starts an empty word.
    read -r -a COMP_WORDS <<<"${line//=/ = }"
    [[ $line == *' ' || $line == *= ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _veldo_cli veldo-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

failures=0
check() {
    local got
    got=$(offered "$1")
    [ "$got" = "$2" ] || { echo "FAIL: '$1<Tab>' offers '$got', expected '$2'"; failures=$((failures + 1)); }
}

ports='1 10 11 12 13 14 15 16 2 3 4 5 6 7 8 9'
check 'veldo-cli ' 'download ports upload verify'
check 'veldo-cli -' '--help --quiet --verbose --version -V -h -q -v'
check 'veldo-cli -q verify --n' '--no-keep'
check 'veldo-cli download --port ' "$ports"
check 'veldo-cli upload -p 1' '1 10 11 12 13 14 15 16'
check 'veldo-cli verify --port=' "$ports"
check 'veldo-cli upload --port 3 ' 'backups site.ini'
check 'veldo-cli upload --port 3 site.ini --backup ' 'backups'
check 'veldo-cli download -p 3 --output s' 'site.ini'
check 'veldo-cli download -p 3 ' ''
check 'veldo-cli verify --device rfc2217+' 'rfc2217+tls://'
check 'veldo-cli verify --device s' 'site.ini'
check 'veldo-cli bogus ' ''

# Each command's help and its Tab list the same long options.
for command in ports download upload verify; do
    help=$("$cli" $command --help) || { echo "FAIL: veldo-cli $command --help failed"; exit 1; }
    listed=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u | xargs)
    check "veldo-cli $command --" "$listed"
done

[ "$failures" = 0 ] && echo "PASS: the completion offers what was expected"
exit $((failures > 0))
