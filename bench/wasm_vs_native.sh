#!/usr/bin/env bash
# The WebAssembly runner beside the native one: the Jacobi method on a 60 x 60
# symmetric matrix with eps = 0 (every pass, about 18 MB of trace), whole runs
# of each runner taken in turn, best of RUNS (default 5). Prints nanoseconds
# per trace byte for both and their ratio, for the whole process and without
# the runner's start (the best of RUNS runs of --list: node alone takes some
# 70 to 90 ms to start, about half the wasm run); the trace bytes of both
# must agree.
#
#   bench/wasm_vs_native.sh [RUNS]
#
# Runners: build/release/src/matcalc-cli and build/wasm/src/matcalc-cli.js
# (cmake --build --preset release / wasm); MATCALC_NATIVE and MATCALC_WASM
# name others.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
native=${MATCALC_NATIVE:-build/release/src/matcalc-cli}
wasm=${MATCALC_WASM:-build/wasm/src/matcalc-cli.js}
for runner in "$native" "$wasm"; do
  [ -e "$runner" ] || { echo "wasm_vs_native: no runner $runner" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Entries in [-10, 10] with three decimals, symmetric, the same every run.
awk 'BEGIN { srand(12345); n = 60
  for (i = 0; i < n; i++) for (j = i; j < n; j++) a[i, j] = a[j, i] = sprintf("%.3f", 20 * rand() - 10)
  for (i = 0; i < n; i++) { row = a[i, 0]; for (j = 1; j < n; j++) row = row " " a[i, j]; print row } }' \
  > "$work/matrix.txt"
args=(--answer 60 --answer 0 --reply yes jacobi "$work/matrix.txt")

# Runs a runner once with its output to a file; prints the nanoseconds taken.
time_run() {
  local start end
  start=$(date +%s%N)
  "$@" "${args[@]}" > "$work/out" 2> /dev/null
  end=$(date +%s%N)
  echo $((end - start))
}

# The nanoseconds of a run that only starts the runner and lists the methods.
time_start() {
  local start end
  start=$(date +%s%N)
  "$@" --list > /dev/null 2>&1
  end=$(date +%s%N)
  echo $((end - start))
}

best_native=0
best_wasm=0
start_native=0
start_wasm=0
for ((r = 1; r <= runs; r++)); do
  t=$(time_run "$native")
  cp "$work/out" "$work/native.out"
  ((best_native == 0 || t < best_native)) && best_native=$t
  t=$(time_run node "$wasm")
  ((best_wasm == 0 || t < best_wasm)) && best_wasm=$t
  t=$(time_start "$native")
  ((start_native == 0 || t < start_native)) && start_native=$t
  t=$(time_start node "$wasm")
  ((start_wasm == 0 || t < start_wasm)) && start_wasm=$t
done
cmp -s "$work/native.out" "$work/out" || { echo "wasm_vs_native: the traces differ" >&2; exit 1; }
bytes=$(stat -c %s "$work/out")

awk -v b="$bytes" -v n="$best_native" -v w="$best_wasm" -v sn="$start_native" \
    -v sw="$start_wasm" -v runs="$runs" 'BEGIN {
  printf "jacobi n = 60, eps = 0: %d trace bytes, best of %d runs each\n", b, runs
  printf "                 whole process             without the start\n"
  printf "  native        %7.2f ns/byte (%.3f s)   %7.2f ns/byte (start %.3f s)\n", n / b, n / 1e9, (n - sn) / b, sn / 1e9
  printf "  wasm (node)   %7.2f ns/byte (%.3f s)   %7.2f ns/byte (start %.3f s)\n", w / b, w / 1e9, (w - sw) / b, sw / 1e9
  printf "  wasm / native %7.2f                    %7.2f\n", w / n, (w - sw) / (n - sn) }'
