#!/usr/bin/env python3
"""How often `matcalc-cli --progress` reports while it computes.

Runs the determinant of a random integer matrix of order N (1500 unless
given) and reads the progress lines as they arrive. For each gap between two
lines it takes the processor time the runner spent in between (from
/proc/PID/stat, in clock ticks) as well as the wall time, so that a loaded
machine does not count against the runner. Fails (exit 1) when the percents
do not run from 0 to 100 without going down, or when two lines lie more than
100 ms of computation apart.

usage: bench/progress_gaps.py [--order N] [--cli build/src/cli/matcalc-cli]
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile
import time

TICK = 1.0 / os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * TICK  # utime + stime


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--order", type=int, default=1500)
    parser.add_argument("--method", default="determinant")
    parser.add_argument("--answer", action="append", default=None)
    parser.add_argument("--cli", default="build/src/cli/matcalc-cli")
    args = parser.parse_args()
    answers = args.answer or [str(args.order)]

    rng = random.Random(1)
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as matrix:
        for _ in range(args.order):
            matrix.write(" ".join(str(rng.randint(-9, 9)) for _ in range(args.order)) + "\n")
    command = [args.cli, "--progress"]
    for answer in answers:
        command += ["--answer", answer]
    command += [args.method, matrix.name]
    run = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    start = time.monotonic()
    lines = []  # (percent, cpu seconds, wall seconds)
    others = 0
    for line in run.stderr:
        wall = time.monotonic() - start
        try:
            cpu = cpu_seconds(run.pid)
        except OSError:
            cpu = lines[-1][1] if lines else 0.0
        if line.startswith("progress\t"):
            lines.append((int(line.split("\t")[1]), cpu, wall))
        else:
            others += 1
    run.wait()
    os.unlink(matrix.name)

    percents = [p for p, _, _ in lines]
    cpu_gaps = [b[1] - a[1] for a, b in zip(lines, lines[1:])]
    wall_gaps = [b[2] - a[2] for a, b in zip(lines, lines[1:])]
    print(f"{args.method}, order {args.order}: {len(lines)} progress lines, {others} dialog lines, "
          f"{lines[-1][1]:.2f} s of processor time, {lines[-1][2]:.2f} s wall, "
          f"load {os.getloadavg()[0]:.2f}")
    print(f"largest gap: {max(cpu_gaps) * 1000:.0f} ms of processor time "
          f"(clock tick {TICK * 1000:.0f} ms), {max(wall_gaps) * 1000:.0f} ms wall")
    ok = True
    if not percents or percents[0] != 0 or percents[-1] != 100:
        print(f"FAIL: percents run from {percents[:1]} to {percents[-1:]}, not 0 to 100")
        ok = False
    if any(b < a for a, b in zip(percents, percents[1:])):
        print("FAIL: a percent went down")
        ok = False
    # One clock tick of slack: the processor time is read in whole ticks.
    if max(cpu_gaps) > 0.100 + TICK:
        print("FAIL: two lines more than 100 ms of computation apart")
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
