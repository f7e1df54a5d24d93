#!/usr/bin/env bash
# The bash completion of qv725ctl: what a Tab offers after each kind of command line, the
# preset names read from a settings file by the tool itself included.
# Usage: completion_test.sh <completion script> <folder of the built qv725ctl>
set -u
completion=$1
PATH="$2:$PATH"
bash_completion=/usr/share/bash-completion/bash_completion
if [[ ! -r $bash_completion ]]; then
    echo "bash-completion is not installed ($bash_completion); scripts/setup installs it" >&2
    exit 1
fi
source "$bash_completion"
source "$completion"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Two presets, "Quiet" and "Two words" (active), as Kelvane stores them: the preset stream as
# hexadecimal text.
zeros=$(printf '0%.0s' $(seq 384))
printf '[Presets]\r\nList=0202%s%s%s%s0201\r\n' \
    "0605$(printf Quiet | od -An -tx1 | tr -d ' \n' | tr a-f A-F)" "$zeros" \
    "0609$(printf 'Two words' | od -An -tx1 | tr -d ' \n' | tr a-f A-F)" "$zeros" \
    > "$scratch/kelvane.ini"

# Splits a command line as readline does for completion (blanks, and "=" as a word of its
# own), runs the completion for its end, and prints the offers on one line.
offers() {
    local line=$1 rest=$1 word=""
    COMP_WORDS=()
    while [[ -n $rest ]]; do
        local c=${rest:0:1}
        rest=${rest:1}
        if [[ $c == " " ]]; then
            [[ -n $word ]] && COMP_WORDS+=("$word")
            word=""
        elif [[ $c == "=" ]]; then
            [[ -n $word ]] && COMP_WORDS+=("$word")
            COMP_WORDS+=("=")
            word=""
        else
            word+=$c
        fi
    done
    COMP_WORDS+=("$word")
    COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _qv725ctl qv725ctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    local IFS=" "
    echo "${COMPREPLY[*]}"
}

failures=0
expect() {
    local got
    got=$(offers "$1")
    if [[ $got != "$2" ]]; then
        echo "FAIL: '$1' offers '$got', expected '$2'" >&2
        failures=$(( failures + 1 ))
    else
        echo "ok: '$1' -> '$got'"
    fi
}

expect "qv725ctl " "list status watch get set pwm save recall preset"
expect "qv725ctl s" "status set save"
expect "qv725ctl --json st" "status"
expect "qv725ctl --" "--json --port --settings --help --version"
expect "qv725ctl watch --c" "--count"
expect "qv725ctl status --c" ""
expect "qv725ctl get " "1 2 3 4 5 6"
expect "qv725ctl get 2 " ""
expect "qv725ctl save " "1 2 3 4 5 6 all"
expect "qv725ctl recall a" "all"
expect "qv725ctl set " "1 2 3 4 5 6"
expect "qv725ctl set 2 t" "tmin= tmax= talarm= ta="
expect "qv725ctl set 2 tmax=40 p" "pmin= pmax="
expect "qv725ctl set 2 auto=" "on off"
expect "qv725ctl set 2 va=o" "on off"
expect "qv725ctl set 2 tmax=" ""
expect "qv725ctl preset " "list apply"
expect "qv725ctl --settings $scratch/kelvane.ini preset apply " "Quiet Two\\ words"
expect "qv725ctl --settings $scratch/kelvane.ini preset apply Quiet " ""
expect "qv725ctl --settings $scratch/kelvane.ini preset apply T" "Two\\ words"

if (( failures > 0 )); then
    echo "$failures completion case(s) failed" >&2
    exit 1
fi
