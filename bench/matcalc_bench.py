#!/usr/bin/env python3
"""Shared pieces of the calibration and order-bisection scripts: the
worst-case texts, the runner's answers per method, and one measured run
(peak RSS and time from /usr/bin/time -v)."""

import math
import os
import random
import re
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("MATCALC_BUILD", os.path.join(ROOT, "build"))
RUNNER = os.path.join(BUILD, "src", "matcalc-cli")
ESTIMATE = os.path.join(BUILD, "bench", "matcalc-estimate")
CACHE = os.environ.get("MATCALC_BENCH_TEXTS", "/tmp/matcalc-bench-texts")

# Every method with an order, and its worst case: eps 0 (no iteration
# settles), the give-up question answered Yes, the digits setting whose
# roundings cost most (15, but 14 for the inverse, which rounds to D + 1 and
# not at all at D = 15), and values whose roundings all take the integer path
# (scaled by 10^places beyond 2^40): O(1) values at 15 places, values beyond
# 1E5 where 7 places are kept. The power methods need a matrix whose powers
# neither overflow nor fade, the definiteness, dominance and LU tests one
# whose rows all pass: a diagonally dominant one. A system has a column more.
METHODS = {
    "power": ("stochastic", ["0"], 15),
    "shift": ("stochastic", ["0", "0.001"], 15),
    "inverse-power": ("dominant", ["0"], 15),
    "jacobi": ("random", ["0"], 15),
    "jacobi-threshold": ("random", ["0"], 15),
    "inverse": ("random", [], 14),
    "determinant": ("large", [], 15),
    "lu": ("dominant", [], 15),
    "positive-definite": ("large-dominant", [], 15),
    "diagonal-dominance": ("dominant", [], 15),
    "matrix-norms": ("random", [], 15),
    # The solvers read b as an (n+1)-th column; the square-root methods need
    # a symmetric matrix to get past their first test.
    "gauss": ("dominant-system", [], 15),
    "lu-solve": ("dominant-system", [], 15),
    "cholesky": ("symmetric-system", [], 15),
    "ldlt": ("symmetric-system", [], 15),
    "tridiagonal": ("dominant-system", [], 15),
    "condition": ("dominant", [], 15),
    # The iterative solvers: the default limit of 100 steps, none settling
    # (their spectral radius, at its worst an n^3 bound, is most of the work).
    "jacobi-iteration": ("dominant-system", ["0", "100"], 15),
    "gauss-seidel": ("dominant-system", ["0", "100"], 15),
    "sor": ("dominant-system", ["0", "100", "1.2"], 15),
    # The matrix menu, on n x n matrices ("{n}": the columns box answered
    # with the order too): a full rank has a pivot and an operation on every
    # row in every column, and the matrix printed after each; a system of n
    # equations in n unknowns.
    "row-echelon": ("random", ["{n}"], 15),
    "rref": ("random", ["{n}"], 15),
    "rank": ("random", ["{n}"], 15),
    "general-solution": ("dominant-system", ["{n}"], 15),
    "inverse-by-rows": ("random", [], 15),
    "transpose": ("random", ["{n}"], 15),
    "determinant-by-rows": ("random", [], 15),
    # The orthogonal transformations, square (m = n); the QR method with
    # eps 1E-10 and its default limit of 100 n iterations (its estimate is
    # its usual cost, not the limit's); the curve fit reads the first two
    # columns as points, its degree n - 1.
    "householder-qr": ("random", ["{n}"], 15),
    "givens-qr": ("random", ["{n}"], 15),
    "gram-schmidt": ("random", ["{n}"], 15),
    "least-squares": ("dominant-system", ["{n}"], 15),
    "curve-fit": ("random", ["{n1}"], 15),
    "qr-eigenvalues": ("random", ["1e-10", "{n100}"], 15),
}


def entry_pool(seed, count, low, high):
    """Entries with long texts between low and high: expressions of 15-digit
    numbers, each read through the whole evaluator, and long plain numbers."""
    rnd = random.Random(seed)
    pool = []
    for k in range(count):
        a = rnd.uniform(low, high)
        if k % 2:
            pool.append("%.20g" % a)
        else:
            b = rnd.uniform(0.5, 1)
            pool.append("(%.17g)*sqr(%.15f)" % (a / math.sqrt(b), b))
    return pool


def kind_pool(kind, n):
    """The entries the rows of a matrix of this kind and order are cut from."""
    if kind.startswith("integer"):
        return []  # matrix_text draws them
    if kind == "stochastic":
        # Rows summing to about s with s^200 = 10 n: the powers' entries run
        # from about 1/n to about 10.
        s = (10.0 * n) ** (1.0 / 200)
        return entry_pool(n, 4 * n + 7, 0.0, 2 * s / n)
    scale = 1e6 if kind.startswith("large") else 1.0
    return entry_pool(n, 4 * n + 7, -scale, scale)


def columns(kind, n):
    return n + 1 if kind.endswith("system") else n


def text_size(kind, n):
    """About the size of matrix_text(kind, n), without writing it."""
    pool = kind_pool(kind, n)
    return int(n * columns(kind, n) * sum(len(e) + 1 for e in pool) / len(pool) + n)


def matrix_text(kind, n):
    """The text of an n x n matrix, or n x (n+1) for a system (cached): rows
    are windows of a shuffled pool of entries (a symmetric one takes entry
    (i, j) from place i + j); a dominant matrix, and every system, gets a
    diagonal beyond its row sums."""
    os.makedirs(CACHE, exist_ok=True)
    path = os.path.join(CACHE, "%s-%d.txt" % (kind, n))
    if os.path.exists(path):
        return path
    rnd = random.Random(n)
    pool = kind_pool(kind, n)
    scale = 1e6 if kind.startswith("large") else 1.0
    diagonal = "%.15f" % (scale * (n + 1) + 0.123456789012345)
    if kind.startswith("integer"):
        diagonal = str(10 * (n + 1))
    with open(path + ".part", "w") as out:
        if kind.startswith("integer99"):
            write_integers99(out, rnd, kind, n)
            n = 0  # written
        for i in range(n):
            start = rnd.randrange(0, 3 * n)
            if kind.startswith("integer"):
                # Every entry drawn on its own: full rank but by chance.
                row = [str(rnd.randint(-9, 9)) for _ in range(columns(kind, n))]
            elif kind.startswith("symmetric"):
                row = [pool[(i + j) % len(pool)] for j in range(columns(kind, n))]
            else:
                row = pool[start:start + columns(kind, n)]
            if kind.endswith("dominant") or kind.endswith("system"):
                row[i] = diagonal
            out.write(" ".join(row))
            out.write("\r\n")
    os.replace(path + ".part", path)
    return path


def write_integers99(out, rnd, kind, n):
    """Entries drawn from -99..99 each on their own (full rank but by
    chance): "integer99" square, "integer99-system" with b, the
    "-symmetric" one symmetric, the "-band-" one 0 off the three diagonals
    of A, the "-dominant" one with 99 n + 1 on the diagonal (beyond every
    row's other magnitudes, so positive definite when symmetric too);
    "integer99-vector" n of them on one line."""
    if kind.endswith("-vector"):
        out.write(" ".join(str(rnd.randint(-99, 99)) for _ in range(n)))
        out.write("\r\n")
        return
    system = kind.endswith("system")
    symmetric = "-symmetric" in kind
    band = "-band" in kind
    dominant = "-dominant" in kind
    above = {}
    for i in range(n):
        row = []
        for j in range(n + 1 if system else n):
            if band and j < n and abs(i - j) > 1:
                row.append("0")
            elif symmetric and j < i:
                row.append(above.pop((j, i)))
            else:
                row.append(str(rnd.randint(-99, 99)))
                if symmetric and i < j < n:
                    above[(i, j)] = row[-1]
        if dominant:
            row[i] = str(99 * n + 1)
        out.write(" ".join(row))
        out.write("\r\n")


# A command whose order its text alone gives: 向量范数 reads a vector, and
# its order is the vector's length (only in the exact mode's bisection).
ORDERLESS = {"vector-norms": ("integer99-vector", [], 15)}


def answers(method, n):
    if method in ORDERLESS:
        return ORDERLESS[method]
    kind, rest, digits = METHODS[method]
    return kind, [str(n)] + [text.format(n=n, n1=n - 1, n100=100 * n) for text in rest], digits


class Run(tuple):
    """(wall seconds, peak RSS bytes, refused, trace bytes, CPU seconds)."""

    def __new__(cls, *fields):
        return super().__new__(cls, fields)


# The matrix menu in the exact mode: integer matrices of full rank (a
# system: one with a diagonal beyond its row sums). The direct methods and
# solvers: entries in -99..99, symmetric for the LDLᵀ factorisation and
# tridiagonal for the chase; the definiteness and dominance tests on matrices
# that pass every row (symmetric for definiteness) with a diagonal of
# 99 n + 1, so that every minor and row sum is computed; the vector norms on
# a vector of that many components.
EXACT_KINDS = {"positive-definite": "integer99-symmetric-dominant",
               "diagonal-dominance": "integer99-dominant", "matrix-norms": "integer99",
               "gram-schmidt": "integer99", "vector-norms": "integer99-vector",
               "general-solution": "integer-system",
               "inverse": "integer99", "determinant": "integer99", "lu": "integer99",
               "condition": "integer99", "gauss": "integer99-system",
               "lu-solve": "integer99-system", "ldlt": "integer99-symmetric-system",
               "tridiagonal": "integer99-band-system"}


def exact_kind(method):
    return EXACT_KINDS.get(method, "integers")


def run(method, n, nice=True, exact=False):
    """Runs the runner once with the method's worst case (in the exact mode,
    on an integer matrix)."""
    kind, texts, digits = answers(method, n)
    if exact:
        kind = exact_kind(method)
    path = matrix_text(kind, n)
    command = ["/usr/bin/time", "-v", RUNNER, "--digits", str(digits), "--reply", "yes"]
    if exact:
        command.append("--exact")
    for text in texts:
        command += ["--answer", text]
    command += [method, path]
    if nice:
        command = ["nice", "-n", "10"] + command
    if not os.access(RUNNER, os.X_OK):
        raise SystemExit("no runner at %s (MATCALC_BUILD is the build folder)" % RUNNER)
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    err = result.stderr.decode("utf-8", "replace")
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", err).group(1)) * 1024
    wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", err).group(1)
    seconds = 0.0
    for part in wall.split(":"):
        seconds = seconds * 60 + float(part)
    refused = "阶数太大" in err or "数字太长" in err
    cpu = sum(float(re.search(r"%s time \(seconds\): (\S+)" % kind, err).group(1))
              for kind in ("User", "System"))
    return Run(seconds, rss, refused, len(result.stdout), cpu)


def exact_estimate(method, n):
    """The runner's exact-mode estimate at order n on its integer matrix:
    (bytes, seconds, fits)."""
    path = matrix_text(exact_kind(method), n)
    out = subprocess.run([ESTIMATE, "--exact", method, str(n), path], check=True,
                         stdout=subprocess.PIPE).stdout.decode()
    fields = dict(line.split("\t") for line in out.strip().splitlines())
    return float(fields.get("bytes", 0)), float(fields.get("seconds", 0)), fields["fits"] == "yes"


def estimate(method, n, text_bytes):
    """The runner's estimate for method at order n: (bytes, seconds, fits)."""
    digits = METHODS[method][2]
    out = subprocess.run([ESTIMATE, method, str(n), str(text_bytes), str(digits)], check=True,
                         stdout=subprocess.PIPE).stdout.decode()
    fields = dict(line.split("\t") for line in out.strip().splitlines())
    return float(fields["bytes"]), float(fields["seconds"]), fields["fits"] == "yes"


def load():
    return open("/proc/loadavg").read().split()[0:3]
