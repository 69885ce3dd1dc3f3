#!/usr/bin/env bash
# The options a program's --help lists are those its man page lists and those
# its bash completion offers, each with or without a value alike, so that the
# three cannot drift apart.
#   tests/cli/option_lists_test.sh PROGRAM MAN_PAGE COMPLETION
# Exit status 77 (a skip for ctest) when bash-completion is not installed.
set -uo pipefail
program=$(realpath "$1") man_page=$(realpath "$2") completion=$(realpath "$3")
name=$(basename "$program")
bash_completion=/usr/share/bash-completion/bash_completion

# "--csv OUT" or "--quiet", one a line, sorted.
help_options() {
  "$program" --help | sed -nE 's/^  (--[a-z0-9-]+)( ([A-Z]+))?( .*)?$/\1 \3/p' | sed 's/ $//' | sort
}
man_options() {
  # The tagged paragraphs of OPTIONS: ".B \-\-rmc" or ".BI \-\-sat\-time " N"".
  sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$man_page" | grep -A1 '^\.TP' \
    | sed -nE 's/^\.BI? +//p' | sed -e 's/\\-/-/g' -e 's/"//g' -e 's/  */ /g' -e 's/ $//' | sort
}

failed=0
compare() { # what, expected list, actual list
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1 differ from $name --help (< --help, > $1):"
    diff <(echo "$2") <(echo "$3")
    failed=1
  fi
}

expected=$(help_options)
[ -n "$expected" ] || { echo "FAILED: no options found in $name --help"; exit 1; }
compare "the options of $(basename "$man_page")" "$expected" "$(man_options)"

if [ ! -r "$bash_completion" ]; then
  echo "SKIPPED: the completion needs $bash_completion (package bash-completion)"
  [ "$failed" -eq 0 ] && exit 77
  exit 1
fi
# What the completion offers for a command line typed up to its last word,
# in a folder without files.
empty=$(mktemp -d)
trap 'rmdir "$empty"' EXIT
offered() {
  (cd "$empty" && bash -c '
    source "$1" && source "$2" || exit 1
    shift 2
    COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    function=$(complete -p "$1" | sed -E "s/.*-F ([^ ]+) .*/\1/")
    "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' completion "$bash_completion" "$completion" "$@" | sort)
}
names=$(echo "$expected" | cut -d ' ' -f 1)
compare "the options the completion offers" "$names" "$(offered "$name" --)"
# After an option with a value comes its value, never another option; after
# one without, the options again.
while read -r option value; do
  after=$(offered "$name" "$option" --)
  if [ -n "$value" ] && echo "$after" | grep -q -- '^--'; then
    echo "FAILED: the completion offers options after $option, which takes $value"
    failed=1
  elif [ -z "$value" ] && [ "$after" != "$names" ]; then
    echo "FAILED: the completion offers no options after $option, which takes no value"
    failed=1
  fi
done <<<"$expected"
[ "$failed" -eq 0 ] && echo "$name: --help, $(basename "$man_page") and the completion name the same $(echo "$names" | wc -l) options"
exit "$failed"
