#!/bin/sh
# The window's peak memory, its prompt latency with a big trace in the result
# pane, and the time from 是 to the trace shown, for Jacobi of order 300 with
# eps 0 (about 441 MB of trace). Qt's offscreen platform, no music. With a
# SECOND order, a second run of that order follows while the first trace is
# shown, and the peak after it; without one, 另存为, Ctrl+A Ctrl+C and 导出 PDF...
# (stopped after PDF_SECONDS) follow, each timed with its peak memory and the
# longest time the window went without handling events.
#   bench/window.sh [BUILD_DIR] [ORDER] [SECOND] [PDF_SECONDS]
set -e
build=${1:-build}
order=${2:-300}
second=${3:-0}
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen MATCALC_AUDIO=none "$build/bench/bench_window" "$order" "$second" "${4:-20}"
