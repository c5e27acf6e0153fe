#!/bin/bash
# Memory of reading big texts, at their real sizes, for every shape of text:
# runs of digits, constants that expand (pi), tabs (which make one entry of a
# whole line), single huge entries, expressions, runs of separators. Each at
# the largest size the determinant of order 3 reads, then one byte more,
# refused, and as a vector; peak resident memory of the native and the
# WebAssembly runner beside it (at most 1.2 GiB each), and the reading alone
# (text_reading) when the build has it.
#
#   bench/text_memory.sh [BUILD_DIR [WASM_BUILD_DIR]]   (default build/release, build/wasm)
#
# Needs about 2.5 GB of free memory and 1.2 GB in $TMPDIR. MATCALC_SHAPES
# (a list of shape names) runs some shapes only.
set -euo pipefail
build=${1:-build/release}
wasm=${2:-build/wasm}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MATCALC_WORK_SCALE=1  # no calibration: only memory is measured

runners=("native")
[ -f "$wasm/src/matcalc-cli.js" ] && runners+=("wasm")
cli() {  # RUNNER ARGS...
  local which=$1
  shift
  if [ "$which" = native ]; then "$build/src/matcalc-cli" "$@"; else node "$wasm/src/matcalc-cli.js" "$@"; fi
}

peak() {  # RUNNER ARGS...: runs the runner, prints "exit STATUS, peak RSS N MB" and what it said
  local status=0
  /usr/bin/time -f '%M' -o "$work/rss" bash -c "$(declare -f cli); build='$build' wasm='$wasm' cli \"\$@\"" \
    _ "$@" >/dev/null 2>"$work/err" || status=$?
  printf 'exit %d, peak RSS %5.0f MB' "$status" "$(($(tail -1 "$work/rss") / 1000))"
  grep -v '^input\|^message' "$work/err" | sed 's/matcalc-cli: //; s/^/  | /' | cut -c1-60 | head -1 | tr '\n' ' '
  grep '^message' "$work/err" | cut -f3 | sed 's/^/  box: /' | head -1 | tr '\n' ' '
  echo
}

# `bytes` bytes of `piece` repeated (PREFIX and SUFFIX around), written in
# blocks so that no program holds the text.
shape_text() {  # FILE BYTES PIECE [PREFIX] [SUFFIX]
  python3 - "$@" <<'PY'
import sys
path, size, piece = sys.argv[1], int(sys.argv[2]), sys.argv[3].encode().decode('unicode_escape')
prefix = sys.argv[4].encode().decode('unicode_escape') if len(sys.argv) > 4 else ''
suffix = sys.argv[5].encode().decode('unicode_escape') if len(sys.argv) > 5 else ''
body = size - len(prefix) - len(suffix)
block = (piece * (1 << 20 // max(len(piece), 1) + 1)).encode()
with open(path, 'wb') as f:
    f.write(prefix.encode())
    left = body
    while left > 0:
        chunk = block[:min(left, len(block) - len(block) % len(piece))]
        f.write(chunk)
        left -= len(chunk)
    f.write(suffix.encode())
PY
}

# The runner's text limit, as its refusal says it.
limit=$( (head -c 600000000 /dev/zero | "$build/src/matcalc-cli" determinant 2>&1 || true) |
  grep -o 'larger than [0-9]*' | grep -o '[0-9]*')
# The largest text the determinant of order 3 reads: the text limit less
# what the program and the method's own arrays take; the budgets weigh only
# the text's size, so sparse files of zeros (read fast, refused or read at
# once) find it by bisection, in the last KiB: the determinant of order 3
# takes a few hundred bytes of its own.
accepts() {  # BYTES: whether the determinant of order 3 reads a text that long
  truncate -s 0 "$work/sparse" && truncate -s "$1" "$work/sparse"
  ! "$build/src/matcalc-cli" --answer 3 determinant "$work/sparse" 2>&1 >/dev/null | grep -q '^message'
}
low=$((limit - 1024))
high=$((limit + 1))
while [ $((high - low)) -gt 1 ]; do
  middle=$(((low + high) / 2))
  if accepts "$middle"; then low=$middle; else high=$middle; fi
done
largest=$low
rm -f "$work/sparse"
echo "== load: $(cut -d' ' -f1-3 /proc/loadavg); text limit $limit bytes, the determinant of order 3 reads up to $largest; runners: ${runners[*]}"

# Name, piece repeated, prefix, suffix.
shapes=(
  "digits|1||"
  "pi|pi||"
  "pi<TAB>|pi\\t||"
  "1<TAB>|1\\t||"
  "one long expression|x+sin(pi)*2^-||1"
  "expressions|sqr(2)/2 pi*x ||1"
  "numbers|1.5 -2e3 ||"
  "spaces| |1|2"
  "commas|,|1|2"
  "line breaks|\\r\\n|1|2"
)
for shape in "${shapes[@]}"; do
  IFS='|' read -r name piece prefix suffix <<<"$shape"
  if [ -n "${MATCALC_SHAPES:-}" ] && [[ ",$MATCALC_SHAPES," != *",$name,"* ]]; then continue; fi
  echo "== $name"
  shape_text "$work/text" "$largest" "$piece" "$prefix" "$suffix"
  for runner in "${runners[@]}"; do
    echo "  $runner determinant of order 3, $largest bytes:   $(peak "$runner" --answer 3 determinant "$work/text")"
  done
  printf ' ' >>"$work/text"
  echo "  native determinant of order 3, one byte more:      $(peak native --answer 3 determinant "$work/text")"
  # A vector of many entries is refused (with the box) before the text
  # limit: its largest size is where the vector still fits; one entry more
  # is refused.
  # A vector: the text read as one; one of many entries is refused with the
  # box before it is read (its vector and trace would not fit).
  shape_text "$work/text" "$largest" "$piece" "$prefix" "$suffix"
  for runner in "${runners[@]}"; do
    echo "  $runner vector norms, $largest bytes:            $(peak "$runner" vector-norms "$work/text")"
  done
  shape_text "$work/text" "$((limit + 1))" "$piece" "$prefix" "$suffix"
  echo "  native determinant, one byte over the text limit: $(peak native --answer 3 determinant "$work/text")"
  rm -f "$work/text"
done

echo "== endless and over-long streams"
for runner in "${runners[@]}"; do
  echo "  $runner /dev/zero as FILE:           $(peak "$runner" determinant /dev/zero)"
  echo "  $runner /dev/zero on standard input: $(peak "$runner" determinant - </dev/zero)"
done

if [ -x "$build/bench/text_reading" ]; then
  echo "== reading alone (file, decoding, budget check, the methods' structures)"
  shape_text "$work/text" 100000000 "0.5 "
  "$build/bench/text_reading" "$work/text" vector-copy
  "$build/bench/text_reading" "$work/text" vector
  "$build/bench/text_reading" "$work/text" matrix
fi
