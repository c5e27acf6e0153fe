#!/bin/bash
# matcalc-cli under a file-size limit (ulimit -f): a write that reaches it
# fails and is reported with exit status 1; the program is not ended by a
# signal.
#   tests/cli/file_size_limit.sh RUNNER...    (the command that runs matcalc-cli)
set -u
cli=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# A vector of 3000 entries: about 80 KB of trace.
seq 1 3000 | tr '\n' ' ' >"$work/v.txt"
# A symmetric matrix of order 12 for the Jacobi method with eps 0: a long series.
awk 'BEGIN { for (i = 1; i <= 12; ++i) { for (j = 1; j <= 12; ++j) printf "%d ", (i * j) % 7 + (i == j) * 20; printf "\n" } }' >"$work/m.txt"

expect() {  # NAME STATUS EXPECTED_ERR_LINE: checks the last run
  local name=$1 status=$2 line=$3
  if [ "$status" -ne 1 ] || [ "$(tail -1 "$work/err")" != "$line" ]; then
    echo "FAIL: $name: status $status, standard error:"
    tail -3 "$work/err"
    failed=1
  else
    echo "ok: $name"
  fi
}

status=0
(ulimit -f 8 && exec "${cli[@]}" vector-norms "$work/v.txt" >"$work/out" 2>"$work/err") || status=$?
expect "standard output" "$status" "matcalc-cli: cannot write the result: File too large"

status=0
(ulimit -f 8 && exec "${cli[@]}" --series "$work/s.csv" --answer 12 --answer 0 jacobi "$work/m.txt" \
  >/dev/null 2>"$work/err") || status=$?
expect "series file" "$status" "matcalc-cli: cannot write $work/s.csv: File too large"
exit $failed
