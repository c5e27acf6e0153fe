#!/bin/sh
# The window's peak memory, its prompt latency with a big trace in the result
# pane, and the time from 是 to the trace shown, for Jacobi of order 300 with
# eps 0 (about 441 MB of trace). Qt's offscreen platform, no music. With a
# SECOND order, a second run of that order follows while the first trace is
# shown, and the peak after it.
#   bench/window.sh [BUILD_DIR] [ORDER] [SECOND]
set -e
build=${1:-build}
order=${2:-300}
second=${3:-0}
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen MATCALC_AUDIO=none "$build/bench/bench_window" "$order" "$second"
