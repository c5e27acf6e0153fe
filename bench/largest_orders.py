#!/usr/bin/env python3
"""The largest order each method accepts, found by bisection over the
budgets' estimate (bench/matcalc-estimate with the text that order's
worst-case input would have), confirmed with the runner at that order (runs)
and the next (refused); then the worst case at that order, measured: peak RSS
(at most 1.2 GiB) and time (at most 60 s), and the share of each budget the
estimate says it uses (one must be at least a quarter).

    python3 bench/largest_orders.py [--exact] [METHOD...]      (MATCALC_BUILD=build folder)

With --exact, the commands that compute in fractions, in the exact mode:
the 矩阵 menu's on integer matrices (entries -9..9, full rank), the direct
methods and solvers on entries drawn from -99..99 (symmetric for ldlt,
tridiagonal for the chase; positive-definite and diagonal-dominance with a
diagonal of 99 n + 1, so every minor and row is reached, symmetric for the
first; vector-norms on a vector whose length is the "order"): the estimate
then comes from the fractions read, so every step of the bisection reads its
own text.

Each method runs once at its largest order, up to a minute each."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import matcalc_bench as mb  # noqa: E402

MEMORY_BUDGET = 1024.0 ** 3
WORK_BUDGET_SECONDS = 25.0  # the estimate's budget on the development machine
RSS_LIMIT = 1.2 * 1024.0 ** 3
TIME_LIMIT = 60.0


EXACT = False  # set by --exact


def fits(method, n, exact=False):
    if EXACT:
        return mb.exact_estimate(method, n)[2]
    kind, _, _ = mb.answers(method, n)
    size = os.path.getsize(mb.matrix_text(kind, n)) if exact else mb.text_size(kind, n)
    return mb.estimate(method, n, size)[2]


def largest_order(method):
    low, high = 1, 32767  # low fits; high is the largest order there is
    if EXACT:
        # Fractions take more than doubles, and every step writes its text:
        # the decimal budgets end the menu's orders far below this.
        high = 2048
        if method == "tridiagonal":
            # Its fractions grow with n, not n^2: the fractions read end it.
            high = 4096
        elif method in ("diagonal-dominance", "matrix-norms"):
            # Sums along lines, n^2 of them: the fractions read end them.
            high = 8192
        elif method == "vector-norms":
            # Its order is the vector's length: the text and the fractions
            # read end it.
            high = 1 << 24
    if fits(method, high):
        return high
    while high - low > 1:
        middle = (low + high) // 2
        if fits(method, middle):
            low = middle
        else:
            high = middle
    # The texts themselves decide the last step.
    n = low
    while n > 1 and not fits(method, n, exact=True):
        n -= 1
    while fits(method, n + 1, exact=True):
        n += 1
    return n


MATRIX_MENU = ["row-echelon", "rref", "rank", "general-solution", "inverse-by-rows",
               "transpose", "determinant-by-rows"]
DIRECT_EXACT = ["inverse", "determinant", "lu", "gauss", "lu-solve", "ldlt", "tridiagonal",
                "condition", "positive-definite", "diagonal-dominance", "vector-norms",
                "matrix-norms", "gram-schmidt"]


def main(argv):
    global EXACT
    # The bisection weighs the estimates on the development machine: the
    # runner must weigh them so too, not scaled by how busy this machine is.
    os.environ.setdefault("MATCALC_WORK_SCALE", "1")
    if argv[:1] == ["--exact"]:
        EXACT = True
        argv = argv[1:] or MATRIX_MENU + DIRECT_EXACT
    methods = argv or [m for m in mb.METHODS if m != "jacobi-threshold"]
    print("load before: %s" % " ".join(mb.load()))
    print("%-19s %6s | %8s %6s %8s | %7s %7s %6s %8s | %s" % (
        "method", "order", "RSS MB", "<=1.2G", "est mem", "time s", "CPU s", "<=60s",
        "est work", "quarter of a budget"))
    for method in methods:
        n = largest_order(method)
        next_refused = mb.run(method, n + 1, exact=EXACT)[2]
        if EXACT:
            est_bytes, est_seconds, _ = mb.exact_estimate(method, n)
        else:
            kind, _, _ = mb.answers(method, n)
            size = os.path.getsize(mb.matrix_text(kind, n))
            est_bytes, est_seconds, _ = mb.estimate(method, n, size)
        seconds, rss, refused, _, cpu = mb.run(method, n, exact=EXACT)
        share = max(est_bytes / MEMORY_BUDGET, est_seconds / WORK_BUDGET_SECONDS)
        print("%-19s %6d | %8.1f %6s %7.0f%% | %7.2f %7.2f %6s %7.0f%% | %s%s%s" % (
            method, n, rss / 1e6, "yes" if rss <= RSS_LIMIT else "NO",
            100 * est_bytes / MEMORY_BUDGET, seconds, cpu,
            "yes" if seconds <= TIME_LIMIT else "NO",
            100 * est_seconds / WORK_BUDGET_SECONDS, "yes" if share >= 0.25 else "NO",
            " (refused!)" if refused else "",
            "" if next_refused else " (order %d not refused!)" % (n + 1)), flush=True)
    print("load after: %s" % " ".join(mb.load()))


if __name__ == "__main__":
    main(sys.argv[1:])
