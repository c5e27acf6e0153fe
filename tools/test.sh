#!/usr/bin/env bash
# Sets up and runs every test: installs missing Debian packages, builds the
# program with its tests, runs them; builds the core tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them; runs the
# fuzzer for a minute (MATCALC_FUZZ_SECONDS to change that).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
matcalc_install_missing $MATCALC_BUILD_PACKAGES $MATCALC_GUI_PACKAGES

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== fuzzing the evaluator and the readers"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DMATCALC_FUZZ=ON -DMATCALC_TESTS=OFF -DMATCALC_GUI=OFF
cmake --build build-fuzz -j "$jobs" --target fuzz_readers
corpus=$(mktemp -d)
cp fuzz/corpus/* "$corpus"/
build-fuzz/fuzz/fuzz_readers -max_total_time="${MATCALC_FUZZ_SECONDS:-60}" -max_len=4096 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
rm -rf "$corpus"

echo "== core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMATCALC_SANITIZE=ON \
  -DMATCALC_GUI=OFF
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs")

echo "== all tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
