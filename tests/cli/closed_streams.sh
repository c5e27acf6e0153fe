#!/bin/bash
# matcalc-cli with a closed standard output or standard input: the failure is
# reported as for any other stream that cannot be used (exit status 1 for
# the output, 2 for the input), never a silent success or a blank text. The
# WebAssembly runner under node behaves the same.
#   tests/cli/closed_streams.sh RUNNER...    (the command that runs matcalc-cli)
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '3 -4' >"$work/v.txt"
failed=0

check() {  # NAME EXPECTED_STATUS EXPECTED_LAST_ERR_LINE STATUS
  if [ "$4" -ne "$2" ] || [ "$(tail -1 "$work/err")" != "$3" ]; then
    echo "FAIL: $1: status $4, standard error: $(tail -1 "$work/err")"
    failed=1
  else
    echo "ok: $1"
  fi
}

status=0
"$@" vector-norms "$work/v.txt" >&- 2>"$work/err" || status=$?
check "closed standard output" 1 "matcalc-cli: cannot write the result: Bad file descriptor" $status
status=0
"$@" vector-norms <&- 2>"$work/err" || status=$?
check "closed standard input" 2 "matcalc-cli: cannot read standard input: Bad file descriptor" $status
status=0
"$@" vector-norms </dev/null >/dev/null 2>"$work/err" || status=$?
check "standard input from /dev/null" 2 "matcalc-cli: the text is blank" $status
status=0
"$@" vector-norms "$work/v.txt" >/dev/null 2>"$work/err" || status=$?
check "standard output to /dev/null" 0 "" $status
exit $failed
