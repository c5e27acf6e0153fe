#!/usr/bin/env bash
# Runs the page's browser tests: builds the site (tools/web.sh), the native
# runner the tests compare with (unless MATCALC_CLI names one), installs the
# locked test packages and runs Playwright with Debian's Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/web.sh --build-only
. tools/packages.sh
matcalc_install_missing chromium fonts-noto-cjk g++ libgtest-dev

# The release preset's runner when tools/test.sh has built it, else one of
# its own.
if [ -z "${MATCALC_CLI:-}" ]; then
  if [ -x build/release/src/matcalc-cli ]; then
    export MATCALC_CLI="$PWD/build/release/src/matcalc-cli"
  else
    if command -v ccache > /dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
      export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    fi
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release -DMATCALC_GUI=OFF \
      -DMATCALC_TESTS=OFF > /dev/null
    cmake --build build/native -j "$(nproc)" --target matcalc-cli
    export MATCALC_CLI="$PWD/build/native/src/matcalc-cli"
  fi
fi

# A port no other server holds, so two checkouts can test at once (a second
# run beside this one would otherwise meet this one's server on a fixed port).
if [ -z "${MATCALC_WEB_TEST_PORT:-}" ]; then
  MATCALC_WEB_TEST_PORT=$(node -e "const s=require('net').createServer();s.listen(0,'127.0.0.1',()=>{console.log(s.address().port);s.close();})")
  export MATCALC_WEB_TEST_PORT
fi

# The browser is Debian's; Playwright never downloads one.
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
[ -d node_modules/@playwright/test ] || npm ci --no-audit --no-fund
npx playwright test -c tests/web/playwright.config.mjs "$@"
