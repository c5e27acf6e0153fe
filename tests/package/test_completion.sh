#!/usr/bin/env bash
# Checks the bash completion of matcalc-cli against the program it completes:
# the methods offered are exactly what --list names, the options exactly what
# --help names, and files come after a method and after --series.
#
#   bash tests/package/test_completion.sh COMPLETION_FILE PROGRAM_FOLDER
set -euo pipefail
completion=$1
PATH="$2:$PATH"
# shellcheck source=/dev/null
. "$completion"
failures=0

# The words offered for the command line "$@", the last word being completed.
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _matcalc_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() {
  local what=$1 expected=$2 actual=$3
  if [ "$expected" != "$actual" ]; then
    printf 'FAIL %s\n  expected: %s\n  offered:  %s\n' "$what" "$(echo $expected)" \
      "$(echo $actual)" >&2
    failures=$((failures + 1))
  fi
}

methods=$(matcalc-cli --list | cut -f 1 | sort)
options=$(matcalc-cli --help | grep -o -e '--[a-z][a-z-]*' | sort -u)
[ -n "$methods" ] && [ -n "$options" ]

expect "methods first" "$methods" "$(offered matcalc-cli '')"
expect "methods after options" "$methods" "$(offered matcalc-cli --digits 3 --reply no '')"
expect "a method's prefix" "$(grep '^jacobi' <<< "$methods")" "$(offered matcalc-cli jacobi)"
expect "options" "$options" "$(offered matcalc-cli --)"
expect "an option's prefix" "--digits" "$(offered matcalc-cli --dig)"
expect "digits" "$(seq 1 15 | sort)" "$(offered matcalc-cli --digits '')"
expect "replies" "$(printf 'no\nyes')" "$(offered matcalc-cli --reply '')"
expect "an answer is free text" "" "$(offered matcalc-cli --answer '')"
expect "nothing after --list" "" "$(offered matcalc-cli --list '')"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/matrix one.txt" "$folder/series.csv"
expect "a file after the method" "$folder/matrix one.txt" \
  "$(offered matcalc-cli --answer 3 jacobi "$folder/ma")"
expect "a file for --series" "$folder/series.csv" "$(offered matcalc-cli --series "$folder/se")"
expect "nothing after the file" "" "$(offered matcalc-cli jacobi "$folder/series.csv" '')"

[ "$failures" -eq 0 ] && echo "completion: all checks passed"
exit "$failures"
