#!/usr/bin/env bash
# Runs the installed-style bash completion of tarvik-cli as bash-completion would: for each
# command line (the cursor at its end) the words offered must be the expected ones.
#   completion_test.sh TARVIK-CLI COMPLETION-SCRIPT
set -u
cli=$1
script=$2
source /usr/share/bash-completion/bash_completion
source "$script"
# Outside a real completion, compopt only complains.
compopt() { :; }

failures=0
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/prog.sim"

# expect "COMMAND LINE" "OFFERED WORDS, one a line"
expect() {
    local line=$1 expected=$2
    COMP_LINE="$cli $line"
    COMP_POINT=${#COMP_LINE}
    # Bash splits the line at blanks, and makes "=" a word of its own.
    local split=${COMP_LINE//=/ = }
    read -ra COMP_WORDS <<<"$split"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tarvik_cli
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    expected=$(printf '%s\n' "$expected" | sort)
    if [[ $offered != "$expected" ]]; then
        echo "FAILED: '$line'"
        echo "  offered:  ${offered//$'\n'/ }"
        echo "  expected: ${expected//$'\n'/ }"
        failures=$((failures + 1))
    fi
}

expect "wri" "write-sim"
expect "help re" $'remote\nread-sim\nrestore\nreaders'
expect "edit --st" "--strict"
expect "edit --model " $'0\n1\n2'
expect "edit --model=" $'--model=0\n--model=1\n--model=2'
expect "edit $folder/prog.sim EDRe" "EDRed="
expect "edit $folder/prog.sim SGT" "SGTR\\["
expect "show $folder/pr" "$folder/prog.sim"
expect "set $folder/prog.sim NAME " ""

if ((failures > 0)); then
    exit 1
fi
echo "all completions as expected"
