#!/usr/bin/env bash
# The three programs against their manual pages and bash completions: every option that --help
# names is offered by the completion and described in the manual page, and nothing else is; the
# completions offer the values the programs take.
# Usage: check_completion.sh BUILD_DIR SOURCE_DIR [linkmate]
set -uo pipefail
build=$1 source=$2 gui=${3:-}
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The options a text names: "-o", "--port", "--listen-rfc2217" (not "Ternix-A" or "read-back").
options_in() { grep -oE -- '(^|[][ ,|(])--?[a-zA-Z][a-zA-Z0-9-]*' | sed -E 's/^[][ ,|(]//' | sort -u; }

# What completion function FN offers for the last of WORDS.
offered() {
    local fn=$1; shift
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
    "$fn" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort -u
}

same() {  # WHAT EXPECTED ACTUAL
    [[ "$2" == "$3" ]] || fail "$1 differ:"$'\n'"$(diff <(echo "$2") <(echo "$3"))"
}

offers() {  # WHAT EXPECTED-WORD WORDS...
    local what=$1 word=$2; shift 2
    grep -qxF -- "$word" <<<"$(offered "$@")" || fail "$what: '$word' is not offered after '${*:2}'"
}

check_program() {  # PROGRAM BINARY COMPLETION FUNCTION MANPAGE
    local program=$1 binary=$2 completion=$3 fn=$4 man=$5
    # shellcheck disable=SC1090
    source "$completion" || { fail "$completion does not load"; return; }
    local help man_options completed
    help=$("$binary" --help | options_in)
    man_options=$(sed -e 's/\\-/-/g' -e 's/\\f[BIR]//g' "$man" | options_in)
    completed=$(offered "$fn" "$program" "-")
    same "$program: the options of --help and of the completion" "$help" "$completed"
    same "$program: the options of --help and of the manual page" "$help" "$man_options"
}

check_program linkmate-cli "$build/tools/linkmate-cli" "$build/packaging/linkmate-cli.bash" _linkmate_cli \
    "$source/packaging/man/linkmate-cli.1"
offers "commands" help _linkmate_cli linkmate-cli he
offers "commands after options" btr _linkmate_cli linkmate-cli --port 2 b
offers "--model" B _linkmate_cli linkmate-cli --model ""
offers "--port" 8 _linkmate_cli linkmate-cli read --port ""
offers "--port=" 3 _linkmate_cli linkmate-cli --port = ""
offers "set" CanBaudrate= _linkmate_cli linkmate-cli --json set Can
offers "list values" '250\ K' _linkmate_cli linkmate-cli set CanBaudrate = 25
offers "list values" 'Transparent\ with\ ID' _linkmate_cli linkmate-cli set TranMode = ""
offers "list values" 'Dual' _linkmate_cli linkmate-cli set CanFilterMode = ""
offers "help" set _linkmate_cli linkmate-cli help s
offers "files" "$source/LICENSE" _linkmate_cli linkmate-cli export "$source/LIC"
offers "commands" apply _linkmate_cli linkmate-cli ap
offers "station maps" "$source/LICENSE" _linkmate_cli linkmate-cli apply --stations "$source/LIC"

check_program linkmate-sim "$build/tools/linkmate-sim" "$source/packaging/bash-completion/linkmate-sim" \
    _linkmate_sim "$source/packaging/man/linkmate-sim.1"
kinds=$("$build/tools/linkmate-sim" --help | sed -nE 's/^ {23}([a-z-]+) {2,}.*/\1/p' | sort -u)
same "linkmate-sim: the fault kinds of --help and of the completion" "$kinds" \
    "$(offered _linkmate_sim linkmate-sim --fault "")"
offers "--com" 8 _linkmate_sim linkmate-sim --com ""

if [[ -n $gui ]]; then
    check_program linkmate "$gui" "$source/packaging/bash-completion/linkmate" _linkmate \
        "$source/packaging/man/linkmate.1"
    offers "--lang" zh_CN _linkmate linkmate --lang ""
    offers "--model=" A _linkmate linkmate --model = ""
fi

if ((failures > 0)); then
    echo "$failures disagreement(s)"
    exit 1
fi
echo "help, manual pages and completions agree"
