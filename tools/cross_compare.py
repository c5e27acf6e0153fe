#!/usr/bin/env python3
"""Runs matcalc-cli built for x86-64, ARM64 (under qemu) and WebAssembly (under
node) on random cases and compares every byte they write.

Each case is a random matrix or vector of small expressions in a file, one of
the runner's methods, random answers and replies, a random digits setting and
now and then the exact mode (--exact). The three runners must agree on
standard output, standard error and exit status.
So must they on their standard streams: a closed standard output or standard
input (which under node is /dev/null opened for reading and writing, node's
own stand-in), a full device, a series file that is the input file. The runners
compare as on the same device (MATCALC_WORK_SCALE=1): a budget that scales
with a slow emulator's speed would refuse other orders.

    tools/cross_compare.py [--cases N] [--seed S] [--jobs J] [--methods M,M...]

The runners are build/release/src/matcalc-cli, build/aarch64/src/matcalc-cli
and build/wasm/src/matcalc-cli.js (cmake --build --preset <name> builds them).
"""
import argparse
import concurrent.futures
import os
import random
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

METHODS = ["power", "shift", "inverse-power", "jacobi", "jacobi-threshold", "inverse",
           "determinant", "lu", "positive-definite", "vector-norms", "matrix-norms",
           "diagonal-dominance", "gauss", "lu-solve", "cholesky", "ldlt", "tridiagonal",
           "jacobi-iteration", "gauss-seidel", "sor", "condition", "row-echelon", "rref",
           "rank", "general-solution", "inverse-by-rows", "transpose", "determinant-by-rows",
           "qr-eigenvalues", "householder-qr", "givens-qr", "gram-schmidt", "least-squares",
           "curve-fit"]
# The iterative solvers of Ax = b: answers of their own.
ITERATIVE = {"jacobi-iteration", "gauss-seidel", "sor"}
# The solvers read b from an (n+1)-th column.
SYSTEMS = {"gauss", "lu-solve", "cholesky", "ldlt", "tridiagonal"} | ITERATIVE
# The matrix menu's commands of any shape ask the rows and the columns (the
# general solution and least squares: the equations and the unknowns, b a
# column more; the curve fit: the points "x y" and the degree).
SHAPED = {"row-echelon", "rref", "rank", "general-solution", "transpose", "householder-qr",
          "givens-qr", "gram-schmidt", "least-squares", "curve-fit"}
AUGMENTED = {"general-solution", "least-squares"}
SQUARE_MATRIX = {"inverse-by-rows", "determinant-by-rows"}
NOT_EXACT = "注意：矩阵中有不能精确表示为分数的元素".encode()
# The commands that compute in fractions with --exact when every entry is
# exact: a share of their exact cases reads a matrix of exact entries only.
EXACT = {"inverse", "determinant", "lu", "gauss", "lu-solve", "ldlt", "tridiagonal", "condition",
         "row-echelon", "rref", "rank", "general-solution", "transpose", "inverse-by-rows",
         "determinant-by-rows", "positive-definite", "diagonal-dominance", "vector-norms",
         "matrix-norms", "gram-schmidt"}


def runners():
    return {
        "x86-64": [os.path.join(ROOT, "build/release/src/matcalc-cli")],
        "arm64": ["qemu-aarch64", "-L", "/usr/aarch64-linux-gnu",
                  os.path.join(ROOT, "build/aarch64/src/matcalc-cli")],
        "wasm": ["node", os.path.join(ROOT, "build/wasm/src/matcalc-cli.js")],
    }


def number(rng):
    kind = rng.random()
    if kind < 0.45:
        return str(rng.randint(-20, 20))
    if kind < 0.75:
        return "%.*f" % (rng.randint(1, 6), rng.uniform(-100, 100))
    if kind < 0.85:
        return "%.3e" % rng.uniform(-1e6, 1e6)
    return rng.choice(["pi", "0", "1e308*10", "1/3", "2/7", ".5", "1e-320", "-0"])


def expression(rng, depth=0):
    if depth > 2 or rng.random() < 0.55:
        return number(rng)
    form = rng.random()
    if form < 0.5:
        return expression(rng, depth + 1) + rng.choice("+-*/^\\") + expression(rng, depth + 1)
    if form < 0.8:
        fn = rng.choice(["sin", "cos", "tan", "atn", "exp", "sqr", "abs", "log", "log10", "log2"])
        return "%s(%s)" % (fn, expression(rng, depth + 1))
    return "(%s)" % expression(rng, depth + 1)


def matrix_text(rng, n, extra_column=False, band=False):
    symmetric = rng.random() < 0.6
    plain = rng.random() < 0.5  # plain numbers converge more often than expressions
    cell = {}
    rows = []
    for i in range(n):
        row = []
        for j in range(n):
            if symmetric and j < i:
                row.append(cell[(j, i)])
                continue
            value = number(rng) if plain else expression(rng)
            if i == j and rng.random() < 0.5:
                value = str(rng.randint(5, 40))
            if band and abs(i - j) > 1:
                value = "0"
            cell[(i, j)] = value
            row.append(value)
        if extra_column:
            row.append(number(rng) if plain else expression(rng))
        rows.append(rng.choice([" ", ",", "  "]).join(row))
    return rng.choice(["\r\n", "\n"]).join(rows) + rng.choice(["", "\r\n", "\n"])


def exact_number(rng):
    kind = rng.random()
    if kind < 0.5:
        return str(rng.randint(-20, 20))
    if kind < 0.7:
        return "%d/%d" % (rng.randint(-20, 20), rng.randint(1, 12))
    if kind < 0.9:
        return "%.*f" % (rng.randint(1, 3), rng.uniform(-100, 100))
    return rng.choice(["0", "2^-3", "(1/3-2/7)*3", "1.5e-3", "sqr(9/4)", "7\\2", "abs(-1/6)"])


def exact_text(rng, n, columns, symmetric, band):
    """An n x columns matrix of exact entries (symmetric, or zero off the
    three diagonals, in its first n columns when asked)."""
    cell = {}
    rows = []
    for i in range(n):
        row = []
        for j in range(columns):
            if symmetric and j < i < columns:
                value = cell[(j, i)]
            elif band and j < n and abs(i - j) > 1:
                value = "0"
            else:
                value = exact_number(rng)
            cell[(i, j)] = value
            row.append(value)
        rows.append(rng.choice([" ", ",", "  "]).join(row))
    return rng.choice(["\r\n", "\n"]).join(rows) + rng.choice(["", "\r\n"])


def shaped_text(rng, m, columns):
    """An m x columns matrix, often of lower rank: some rows are sums of
    multiples of the rows before them, some entries thirds."""
    plain = rng.random() < 0.7
    rows = []
    for i in range(m):
        if rows and rng.random() < 0.4:
            a, b = rng.randint(-3, 3), rng.randint(-2, 2)
            first, second = rng.choice(rows), rng.choice(rows)
            row = ["(%s)*%d+(%s)*%d" % (x, a, y, b) for x, y in zip(first, second)]
        else:
            row = [(number(rng) if plain else expression(rng)) if rng.random() < 0.8
                   else rng.choice(["0", "1/3", "-2"]) for _ in range(columns)]
        rows.append(row)
    return (rng.choice(["\r\n", "\n"]).join(rng.choice([" ", ",", "  "]).join(r) for r in rows)
            + rng.choice(["", "\r\n"]))


def iterative_answers(rng, method, n):
    """eps, N, w for sor, and some components of x0: mostly values the
    command takes, now and then one that ends it."""
    answers = [rng.choice(["0.0001", "1e-6", "1e-12", "0", "0.5", "-1", ""])]
    answers.append(rng.choice(["100", "50", "3", "1", "400", "0", "abc", "70000"]))
    if method == "sor":
        answers.append(rng.choice(["1.2", "0.5", "1", "1.9", "1.05", "2", "0", "-1", "abc"]))
    for _ in range(rng.randint(0, n)):
        answers.append(rng.choice(["0", "1", "-2.5", "1e300", "1e400", "pi", "abc", "", "3"]))
    return answers


def make_case(rng, methods=METHODS):
    method = rng.choice(methods)
    n = rng.randint(1, 7)
    text = matrix_text(rng, n, method in SYSTEMS, method == "tridiagonal" and rng.random() < 0.7)
    if method == "vector-norms":
        text = " ".join(expression(rng) for _ in range(n))
    order = str(n) if rng.random() < 0.85 else rng.choice(["0", "-1", str(n + 2), "abc", "2.5"])
    pool = ["0.0001", "1e-6", "0", "0.5", "1", "3", "-2", "1 1 1", "1,2,3", "abc", "", "100"]
    answers = [order] + [rng.choice(pool) for _ in range(rng.randint(0, 4))]
    if method in SHAPED:
        columns = rng.randint(1, 7)
        text = shaped_text(rng, n, columns + (1 if method in AUGMENTED else 0))
        answers = [order, str(columns) if rng.random() < 0.9 else rng.choice(["0", "abc", "9"])]
        if method == "curve-fit":
            text = shaped_text(rng, n, 2)
            answers = [order, str(rng.randint(0, n)) if rng.random() < 0.9 else "abc"]
    if method in ITERATIVE and rng.random() < 0.9:
        answers = [order] + iterative_answers(rng, method, n)
    if method == "qr-eigenvalues" and rng.random() < 0.8:
        answers = [order, rng.choice(["1e-10", "1e-14", "0.001", "0", ""]),
                   rng.choice([str(100 * n), "1", "3", "abc"])]
    replies = [rng.choice(["yes", "no"]) for _ in range(rng.randint(0, 3))]
    args = ["--digits", str(rng.randint(1, 15))]
    if method in SHAPED | SQUARE_MATRIX and rng.random() < 0.5:
        args.append("--exact")
    for a in answers:
        args += ["--answer", a]
    for r in replies:
        args += ["--reply", r]
    # The exact mode on a share of the cases (drawn last: the other draws stay
    # as they were).
    if rng.random() < 0.4:
        args.append("--exact")
    # Half the exact cases of the commands that compute in fractions read
    # exact entries only, so that they do.
    if "--exact" in args and method in EXACT and rng.random() < 0.5:
        columns = n + 1 if method in SYSTEMS else n
        if method in SHAPED:
            columns = int(answers[1]) if answers[1].isdigit() else n
            columns += 1 if method in AUGMENTED else 0
        rows = 1 if method == "vector-norms" else n
        text = exact_text(rng, rows, columns,
                          method in ("ldlt", "positive-definite") or rng.random() < 0.3,
                          method == "tridiagonal")
    return args + [method], text


ENVIRONMENT = dict(os.environ, MATCALC_WORK_SCALE="1")


def run(command, args, path):
    done = subprocess.run(command + args + [path], capture_output=True, timeout=600,
                          env=ENVIRONMENT)
    return done.returncode, done.stdout, done.stderr


# The standard-stream cases: a shell redirection and the runner's arguments
# ({file} the input file), each run by every runner.
STREAM_CASES = [
    ("closed standard output", ">&-", ["vector-norms", "{file}"]),
    ("closed standard output, --help", ">&-", ["--help"]),
    ("closed standard input", "<&-", ["vector-norms"]),
    ("closed standard input, -", "<&-", ["--answer", "2", "determinant", "-"]),
    ("standard input from /dev/null", "</dev/null", ["vector-norms"]),
    ("standard input from /dev/null for reading and writing", "<>/dev/null", ["vector-norms"]),
    ("standard output to /dev/null for reading and writing", "1<>/dev/null",
     ["vector-norms", "{file}"]),
    ("standard output to /dev/full", ">/dev/full", ["vector-norms", "{file}"]),
    ("series file is the input file", "", ["--series", "{file}", "--answer", "2", "--answer",
                                           "0.01", "jacobi", "{file}"]),
    ("series file is standard input", "<{file}", ["--series", "{file}", "--answer", "2",
                                                   "jacobi"]),
]


# Node opens /dev/null for reading and writing on a standard stream that was
# closed when it started, before the runner's code runs: under node a closed
# stream is that /dev/null, and behaves as the native runner does on it.
NODE_SEES = {">&-": "1<>/dev/null", "<&-": "<>/dev/null"}


def check_streams():
    """Every stream case on every runner; the names of the cases that differ."""
    differ = []
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "m.txt")

        def run(command, args, redirection):
            with open(path, "wb") as f:
                f.write(b"2 1\r\n1 2")
            line = " ".join('"%s"' % a.replace("{file}", path) for a in command + args)
            shell = "exec %s %s" % (line, redirection.replace("{file}", path))
            done = subprocess.run(["sh", "-c", shell], capture_output=True, timeout=600,
                                  env=ENVIRONMENT)
            with open(path, "rb") as f:
                return (done.returncode, done.stdout, done.stderr, f.read())

        for name, redirection, args in STREAM_CASES:
            results = {}
            expected = {}
            for runner, command in runners().items():
                results[runner] = run(command, args, redirection)
            for runner in results:
                expected[runner] = results["x86-64"]
            if redirection in NODE_SEES:
                expected["wasm"] = run(runners()["x86-64"], args, NODE_SEES[redirection])
            if any(results[runner] != expected[runner] for runner in results):
                differ.append(name)
                for runner, (status, out, err, _) in results.items():
                    print("  %-7s %s: status %d, %d bytes out, err %r" % (runner, name, status,
                                                                         len(out), err[-120:]))
    return differ


def check(index, seed, methods=METHODS):
    rng = random.Random(seed * 1000003 + index)
    args, text = make_case(rng, methods)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "case.txt")
        with open(path, "wb") as f:
            f.write(text.encode("utf-8"))
        results = {name: run(command, args, path) for name, command in runners().items()}
    reference = results["x86-64"]
    differ = [name for name, result in results.items() if result != reference]
    return index, args, text, reference, differ, results


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cases", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--methods", default=",".join(METHODS),
                        help="the methods to draw from, separated by commas (default: all)")
    options = parser.parse_args()
    methods = options.methods.split(",")
    unknown = [m for m in methods if m not in METHODS]
    if unknown:
        sys.exit("cross_compare: unknown methods: %s" % ", ".join(unknown))
    for name, command in runners().items():
        if not os.path.exists(command[-1]):
            sys.exit("cross_compare: %s runner missing: %s" % (name, command[-1]))

    failures = 0
    traced = 0
    exact = {}  # per command, the exact cases whose trace holds a fraction
    with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        jobs = [pool.submit(check, i, options.seed, methods) for i in range(options.cases)]
        for job in jobs:
            index, args, text, reference, differ, results = job.result()
            traced += len(reference[1])
            if "--exact" in args and args[-1] in EXACT and reference[1] \
                    and not reference[1].startswith(NOT_EXACT):
                exact[args[-1]] = exact.get(args[-1], 0) + 1
            if not differ:
                continue
            failures += 1
            print("case %d differs on %s: %s" % (index, ", ".join(differ), " ".join(args)))
            print("  input: %r" % text)
            for name, (status, out, err) in results.items():
                print("  %-7s status %d, %d bytes out, %d bytes err" % (name, status, len(out),
                                                                        len(err)))
    print("cross_compare: %d cases, %d trace bytes each on x86-64, ARM64 and WebAssembly; "
          "%d differ" % (options.cases, traced, failures))
    print("cross_compare: %d exact cases on exact entries: %s" % (
        sum(exact.values()), ", ".join("%s %d" % item for item in sorted(exact.items()))))
    streams_differ = check_streams()
    for name in streams_differ:
        print("standard streams differ: %s" % name)
    print("cross_compare: %d standard-stream cases; %d differ" % (len(STREAM_CASES),
                                                                 len(streams_differ)))
    sys.exit(1 if failures or streams_differ else 0)


if __name__ == "__main__":
    main()
