#!/bin/bash
# Memory of reading big texts, at their real sizes, for every shape of text:
# runs of digits, constants that expand (pi), tabs (which make one entry of a
# whole line), single huge entries, expressions, runs of separators. Each at
# the largest size the runner accepts (the matrix text limit, or for a
# vector of many entries the size its vector still fits the memory budget),
# then one size more, refused; peak resident memory of the native and the
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
echo "== load: $(cut -d' ' -f1-3 /proc/loadavg); text limit $limit bytes; runners: ${runners[*]}"

# Name, piece repeated, prefix, suffix, entries per piece in a vector (0: the
# line is one entry or a few).
shapes=(
  "digits|1|||0"
  "pi|pi|||0"
  "pi<TAB>|pi\\t|||0"
  "1<TAB>|1\\t|||0"
  "one long expression|x+sin(pi)*2^-||1|0"
  "expressions|sqr(2)/2 pi*x ||1|2"
  "numbers|1.5 -2e3 |||2"
  "spaces| |1|2|0"
  "commas|,|1|2|0"
  "line breaks|\\r\\n|1|2|0"
)
for spec in "${shapes[@]}"; do
  IFS='|' read -r name piece prefix suffix per_piece <<<"$spec"
  if [ -n "${MATCALC_SHAPES:-}" ] && [[ ",$MATCALC_SHAPES," != *",$name,"* ]]; then continue; fi
  piece_bytes=$(printf "$piece" | wc -c)
  echo "== $name"
  shape_text "$work/text" "$limit" "$piece" "$prefix" "$suffix"
  for runner in "${runners[@]}"; do
    echo "  $runner determinant of order 3, $limit bytes:     $(peak "$runner" --answer 3 determinant "$work/text")"
  done
  # A vector of many entries is refused (with the box) before the text
  # limit: its largest size is where the vector still fits; one entry more
  # is refused.
  vector_size=$limit
  if [ "$per_piece" -gt 0 ]; then
    vector_size=$(python3 -c "
budget = 1024 ** 3 - 256 * 1024 - 8
print(min($limit, (budget * $piece_bytes // ($piece_bytes + 8 * $per_piece)) // $piece_bytes * $piece_bytes))")
    shape_text "$work/text" "$vector_size" "$piece"
  fi
  for runner in "${runners[@]}"; do
    echo "  $runner vector norms, $vector_size bytes:            $(peak "$runner" vector-norms "$work/text")"
  done
  if [ "$per_piece" -gt 0 ]; then
    shape_text "$work/text" "$((vector_size + piece_bytes))" "$piece"
    echo "  native vector norms, one piece more:              $(peak native vector-norms "$work/text")"
  fi
  printf ' ' >>"$work/text"
  shape_text "$work/text" "$((limit + 1))" "$piece" "$prefix" "$suffix"
  echo "  native determinant, one byte more than the limit: $(peak native --answer 3 determinant "$work/text")"
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
