#!/bin/bash
# Memory of reading big texts, at their real sizes: the reading alone
# (text_reading) and whole runs of matcalc-cli, peak resident memory beside
# the text's size, and the refusals at the memory budget.
#
#   bench/text_memory.sh [BUILD_DIR]    (configured with -DMATCALC_BENCH=ON)
#
# Needs about 2.5 GB of free memory and 1.5 GB in $TMPDIR.
set -euo pipefail
build=${1:-build}
cli=$build/src/cli/matcalc-cli
reading=$build/bench/text_reading
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Lines of `count` entries, written by awk so that no shell holds them.
vector_text() {  # BYTES FILE: one line of 10-byte entries
  awk -v n="$(($1 / 10))" 'BEGIN { for (i = 0; i < n; ++i) printf "%09.6f ", (i % 97) / 7 }' >"$2"
}
matrix_text() {  # BYTES FILE: rows of 100 entries
  awk -v n="$(($1 / 402))" 'BEGIN {
    for (i = 0; i < n; ++i) { for (j = 0; j < 100; ++j) printf "%d.5 ", (i + j) % 9; printf "\r\n" } }' >"$2"
}

peak() {  # COMMAND...: runs it, prints "exit STATUS, peak RSS N MB"
  local status=0
  /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>"$work/err" || status=$?
  printf 'exit %d, peak RSS %6.0f MB' "$status" "$(($(tail -1 "$work/rss") / 1000))"
  grep -v '^input\|^message' "$work/err" | sed 's/^/  | /' | head -2 | tr '\n' ' '
  grep '^message' "$work/err" | cut -f3 | sed 's/^/  box: /' | head -1 | tr '\n' ' '
  echo
}
size_mb() { echo $(($(stat -c %s "$1") / 1000000)); }

echo "== load: $(cut -d' ' -f1-3 /proc/loadavg)"
vector_text 100000000 "$work/v100"
matrix_text 100000000 "$work/m100"
echo "== reading alone (file, decoding, budget check, the methods' structures)"
"$reading" "$work/v100" vector-copy
"$reading" "$work/v100" vector
"$reading" "$work/m100" matrix

echo "== whole runs of matcalc-cli"
echo "vector norms, $(size_mb "$work/v100") MB vector text:        $(peak "$cli" vector-norms "$work/v100")"
echo "determinant of order 3, $(size_mb "$work/m100") MB matrix text: $(peak "$cli" --answer 3 determinant "$work/m100")"

# The largest text a command can read: 512 MiB - 1 bytes; one more is refused.
largest=$((512 * 1024 * 1024 - 1))
head -c "$largest" <(while :; do cat "$work/m100"; done) >"$work/largest"
echo "determinant of order 3, largest text ($largest bytes): $(peak "$cli" --answer 3 determinant "$work/largest")"
printf ' ' >>"$work/largest"
echo "one byte more, as FILE:          $(peak "$cli" --answer 3 determinant "$work/largest")"
echo "one byte more, on standard input: $(peak sh -c "cat '$work/largest' | '$cli' --answer 3 determinant")"
rm -f "$work/largest"
echo "/dev/zero as FILE:                $(peak "$cli" determinant /dev/zero)"
echo "/dev/zero on standard input:      $(peak sh -c "'$cli' determinant </dev/zero")"

# A vector text whose entries would not fit: refused with the message box.
vector_text 400000000 "$work/v400"
echo "vector norms, $(size_mb "$work/v400") MB vector text:        $(peak "$cli" vector-norms "$work/v400")"
