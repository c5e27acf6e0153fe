#!/usr/bin/env bash
# Sets up and runs every test, through the CMake presets (CMakePresets.json),
# each building into build/<preset>:
#
#   fuzz      the fuzzer over the entry evaluator and the readers, for a minute
#             (MATCALC_FUZZ_SECONDS to change that), while the next build runs
#   sanitize  the core tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   release   every test of the Release build, window included (offscreen)
#   aarch64   the core tests built for ARM64, run under qemu-aarch64
#   wasm      the core tests built for WebAssembly, run under node
#   web       the page in Debian's Chromium, driven by Playwright
#   package   the release command (tools/package.sh): the Debian package from
#             the Release build (lintian, desktop-file-validate, appstreamcli,
#             the programs run from a throw-away root) and the site archives
#
# The C++ sources are checked against .clang-format first.
# Missing Debian packages are installed first. ccache is used when it is
# installed (CCACHE_DISABLE=1 turns it off).
#
# tools/test.sh --quick is the developer's loop: the format check, the
# Release build, and its tests (core, window, the layers and the page's unit
# tests under node; CTest labels core, window, layers, page): no fuzzing,
# sanitizers, cross builds or browser.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
[ "${1:-}" = "--quick" ] && quick=1
. tools/packages.sh
if [ "$quick" = 1 ]; then
  matcalc_install_missing $MATCALC_BUILD_PACKAGES $MATCALC_GUI_PACKAGES nodejs
else
  matcalc_install_missing $MATCALC_BUILD_PACKAGES $MATCALC_GUI_PACKAGES $MATCALC_CROSS_PACKAGES \
    $MATCALC_PACKAGE_PACKAGES
fi

export QT_QPA_PLATFORM=offscreen
export NODE_PATH=/usr/share/nodejs  # Emscripten's optimizer finds acorn here
if command -v ccache > /dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  # Paths below the checkout count as relative, so another checkout of the
  # same sources (a second worktree, CI's fresh clone) finds the cache warm.
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi
jobs=$(nproc)

stage() { printf '\n== %s (%s)\n' "$1" "$(date +%T)"; }

stage "formatting"
bash tools/format.sh --check

if [ "$quick" = 1 ]; then
  stage "the Release build and its tests"
  cmake --preset release > /dev/null
  cmake --build --preset release -j "$jobs"
  ctest --preset release -j "$jobs" -L 'core|window|layers|page'
  stage "done"
  exit 0
fi

stage "fuzzing the evaluator and the readers"
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j "$jobs"
corpus=$(mktemp -d)
cp fuzz/corpus/* "$corpus"/
# The fuzzer takes one core for its minute; the sanitizer build takes the rest.
build/fuzz/fuzz/fuzz_readers -max_total_time="${MATCALC_FUZZ_SECONDS:-60}" -max_len=4096 \
  -print_final_stats=1 "$corpus" > build/fuzz/fuzz.log 2>&1 &
fuzzer=$!

stage "core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize > /dev/null
cmake --build --preset sanitize -j "$jobs"
fuzz_status=0
wait "$fuzzer" || fuzz_status=$?
tail -n 12 build/fuzz/fuzz.log
rm -rf "$corpus"
if [ "$fuzz_status" -ne 0 ]; then
  echo "the fuzzer found a fault (build/fuzz/fuzz.log)" >&2
  exit 1
fi
ctest --preset sanitize -j "$jobs"

stage "all tests of the Release build"
cmake --preset release > /dev/null
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

stage "core tests on ARM64 (qemu-aarch64)"
cmake --preset aarch64 > /dev/null
cmake --build --preset aarch64 -j "$jobs"
ctest --preset aarch64 -j "$jobs"

stage "core tests on WebAssembly (node)"
cmake --preset wasm > /dev/null
cmake --build --preset wasm -j "$jobs"
ctest --preset wasm -j "$jobs"

stage "the page in Chromium (Playwright)"
bash tools/web-test.sh

# The release command as the README gives it, last: the page is built by now,
# so packing the site archives costs seconds.
stage "the release: the Debian package and the site archives, checked"
bash tools/package.sh

stage "done"
