#!/usr/bin/env python3
"""Calibration: each method's estimate (memory and work, as the runner's
budgets see them) beside what the runner measures, at two or three orders,
with the worst-case input (eps 0, --reply yes, --digits 15, long entry texts).

    python3 bench/calibrate.py [METHOD...]        (MATCALC_BUILD=build folder)

Needs the runner and bench/matcalc-estimate (-DMATCALC_BENCH=ON). Runs under
nice; says the load before and after, since the machine may be shared."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import matcalc_bench as mb  # noqa: E402

# Orders at which each method takes from a fraction of a second to some
# seconds here.
ORDERS = {
    "power": [200, 300, 420],
    "shift": [200, 300, 420],
    "inverse-power": [600, 1200, 2000],
    "jacobi": [120, 250, 400],
    "jacobi-threshold": [250],
    "inverse": [150, 250, 320],
    "determinant": [250, 400, 550],
    "lu": [600, 1200, 2000],
    "positive-definite": [80, 120, 160],
    "diagonal-dominance": [1000, 2000, 3000],
    "matrix-norms": [400, 800, 1300],
    "gauss": [120, 200, 300],
    "lu-solve": [600, 1200, 2000],
    "cholesky": [600, 1200, 2000],
    "ldlt": [600, 1200, 2000],
    "tridiagonal": [1000, 2000, 3000],
    "condition": [300, 600, 1000],
    "jacobi-iteration": [200, 400, 700],
    "gauss-seidel": [200, 400, 700],
    "sor": [200, 400, 700],
}


def main(argv):
    methods = argv or list(ORDERS)
    print("load before: %s" % " ".join(mb.load()))
    print("%-19s %6s %8s | %8s %8s %5s | %7s %7s %7s %5s | %s" % (
        "method", "order", "text MB", "est MB", "RSS MB", "ratio", "est s", "time s", "CPU s",
        "ratio", "trace MB"))
    has_estimate = os.path.exists(mb.ESTIMATE)
    for method in methods:
        for n in ORDERS[method]:
            kind, _, _ = mb.answers(method, n)
            text_bytes = os.path.getsize(mb.matrix_text(kind, n))
            seconds, rss, refused, trace, cpu = mb.run(method, n)
            est_bytes, est_seconds, fits = (mb.estimate(method, n, text_bytes)
                                            if has_estimate else (0, 0, True))
            note = " refused" if refused else ""
            # The work ratio is taken to the CPU time: the wall clock of a
            # shared machine says more about the others than about the run.
            print("%-19s %6d %8.1f | %8.1f %8.1f %5.2f | %7.2f %7.2f %7.2f %5.2f | %.1f%s" % (
                method, n, text_bytes / 1e6, est_bytes / 1e6, rss / 1e6,
                est_bytes / rss if rss else 0, est_seconds, seconds, cpu,
                est_seconds / cpu if cpu else 0, trace / 1e6, note), flush=True)
    print("load after: %s" % " ".join(mb.load()))


if __name__ == "__main__":
    main(sys.argv[1:])
