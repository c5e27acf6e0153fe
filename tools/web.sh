#!/usr/bin/env bash
# Sets up, builds and serves the page: installs the missing Debian packages,
# builds the WebAssembly module with Emscripten, assembles the static site in
# build/web/site and serves it at http://127.0.0.1:8000/ (MATCALC_WEB_PORT to
# change the port). With --build-only it stops after building.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
MATCALC_WEB_PACKAGES="emscripten nodejs cmake ninja-build"
matcalc_install_missing $MATCALC_WEB_PACKAGES
# Some node builds bring their own npm; Debian's comes as a package of its own.
command -v npm >/dev/null || matcalc_install_missing npm

# Debian's Emscripten finds its optimiser's modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs
if command -v ccache > /dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

cmake --preset web > /dev/null
cmake --build --preset web -j "$(nproc)"
node src/web/build-site.mjs build/web/src/web build/web/site

[ "${1:-}" = "--build-only" ] && exit 0
exec node src/web/serve.mjs build/web/site "${MATCALC_WEB_PORT:-8000}"
