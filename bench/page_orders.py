#!/usr/bin/env python3
"""The largest order each method accepts in the runner and in the page, by
bisection over the budgets' estimate (bench/matcalc-estimate, "page" for
the page's copies), with the text that order's worst-case input would have;
and the trace each writes at that order, by the estimate. Nothing is run.

    python3 bench/page_orders.py      (MATCALC_BUILD=build folder with bench/)"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import matcalc_bench as mb  # noqa: E402


def fits(method, n, front_end):
    kind, _, digits = mb.answers(method, n)
    args = [mb.ESTIMATE, method, str(n), str(mb.text_size(kind, n)), str(digits)]
    if front_end == "page":
        args.append("page")
    out = subprocess.run(args, check=True, stdout=subprocess.PIPE).stdout.decode()
    return dict(line.split("\t") for line in out.strip().splitlines())["fits"] == "yes"


def largest(method, front_end):
    low, high = 1, 32767
    if fits(method, high, front_end):
        return high
    while high - low > 1:
        middle = (low + high) // 2
        if fits(method, middle, front_end):
            low = middle
        else:
            high = middle
    return low


def main():
    print("method\trunner\tpage\tpage/runner (order)")
    for method in mb.METHODS:
        runner = largest(method, "runner")
        page = largest(method, "page")
        print("%s\t%d\t%d\t%.2f" % (method, runner, page, page / runner))


if __name__ == "__main__":
    main()
