#!/usr/bin/env bash
# Sets up and runs the program: installs missing Debian packages, builds, and
# starts the window. Without a display it says so and prints the trace of the
# rotation method on a bundled example with the headless runner instead.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
matcalc_install_missing $MATCALC_BUILD_PACKAGES $MATCALC_GUI_PACKAGES

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DMATCALC_TESTS=OFF
cmake --build build -j "$(nproc)"

if [ -x build/src/workbench/matcalc ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/src/workbench/matcalc "$@"
fi
echo "No display is reachable; here is the runner on resources/examples/symmetric3.txt instead:"
echo "  build/src/matcalc-cli --answer 3 --answer 0.0001 jacobi resources/examples/symmetric3.txt"
exec build/src/matcalc-cli --answer 3 --answer 0.0001 jacobi resources/examples/symmetric3.txt
