#!/bin/bash
# matcalc-cli's standard streams and the files it creates, natively and as
# WebAssembly under node: a closed standard output or input is reported as
# for any other stream that cannot be used (exit status 1 for the output, 2
# for the input), never a silent success; /dev/null opened for reading and
# writing is /dev/null like any other; a new --series file gets the
# permissions the file-creation mask leaves.
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

# Node puts /dev/null, opened for reading and writing, on a standard stream
# that was closed when it started, before the runner's code runs: there a
# closed stream is that /dev/null.
under_node=0
[ "$(basename "$1")" = node ] && under_node=1

status=0
"$@" vector-norms "$work/v.txt" >&- 2>"$work/err" || status=$?
if [ $under_node = 1 ]; then
  check "closed standard output (node: /dev/null)" 0 "" $status
else
  check "closed standard output" 1 "matcalc-cli: cannot write the result: Bad file descriptor" $status
fi
status=0
"$@" vector-norms <&- 2>"$work/err" || status=$?
if [ $under_node = 1 ]; then
  check "closed standard input (node: /dev/null)" 2 "matcalc-cli: the text is blank" $status
else
  check "closed standard input" 2 "matcalc-cli: cannot read standard input: Bad file descriptor" $status
fi
status=0
"$@" vector-norms </dev/null >/dev/null 2>"$work/err" || status=$?
check "standard input from /dev/null" 2 "matcalc-cli: the text is blank" $status
status=0
"$@" vector-norms <>/dev/null >/dev/null 2>"$work/err" || status=$?
check "standard input from /dev/null for reading and writing" 2 "matcalc-cli: the text is blank" $status
status=0
"$@" vector-norms "$work/v.txt" >/dev/null 2>"$work/err" || status=$?
check "standard output to /dev/null" 0 "" $status
status=0
"$@" vector-norms "$work/v.txt" 1<>/dev/null 2>"$work/err" || status=$?
check "standard output to /dev/null for reading and writing" 0 "" $status

for mask in 022 077; do
  rm -f "$work/series.csv"
  status=0
  (umask $mask && "$@" --series "$work/series.csv" vector-norms "$work/v.txt" >/dev/null 2>"$work/err") ||
    status=$?
  mode=$(stat -c %a "$work/series.csv" 2>/dev/null)
  expected=$(printf '%o' $((0666 & ~0$mask)))
  if [ $status -ne 0 ] || [ "$mode" != "$expected" ]; then
    echo "FAIL: new --series file under umask $mask: status $status, mode ${mode:-none}, not $expected"
    failed=1
  else
    echo "ok: new --series file under umask $mask: mode $mode"
  fi
done
exit $failed
