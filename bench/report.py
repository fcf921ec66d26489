#!/usr/bin/env python3
"""Tables from the benchmark's output: each operation against its floor.

Each benchmark times its operation and its floor in alternating batches on
the thread's CPU clock; the table gives the medians over the repetitions of
the operation's and the floor's time per call and of their ratio.

usage: report.py BENCH.json              the table and the growth with entries
       report.py BENCH.json --growth-dir DIR
                                        writes DIR/<family>.dat (entries,
                                        op µs, floor µs) for the growth chart
       report.py --callgrind DIR        instruction counts from the callgrind
                                        dumps of `vomaxel_bench --instructions`
"""
import argparse
import json
import math
import os
import re
import sys

TARGET = 1.10


def split(name):
    """'DecryptMatchInfo/matches:64/manual_time' -> ('DecryptMatchInfo', 'matches', 64)."""
    name = re.sub(r"/manual_time$", "", name)
    match = re.fullmatch(r"(.+?)(?:/(\w+):(\d+))?", name)
    family, unit, size = match.groups()
    return family, unit or "", int(size) if size else 0


def load(path):
    """The median run of every case, by (family, unit, size), in registration order."""
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    has_aggregates = any(r.get("aggregate_name") == "median" for r in runs)
    cases = {}
    for run in sorted(runs, key=lambda r: (r.get("family_index", 0), split(r["run_name"])[2])):
        wanted = "median" if has_aggregates else None
        if run.get("aggregate_name") == wanted and "op_ns" in run:
            cases[split(run["run_name"])] = run
    return cases


def fmt_time(ns):
    us = ns / 1000
    return f"{us:10.3f}" if us < 10 else f"{us:10.1f}"


def fmt_allocs(run, side):
    return f"{int(run[side + '_allocs'])} ({int(run[side + '_openssl_allocs'])})"


def table(cases):
    header = (f"{'operation':<22} {'input':<14} {'op µs':>10} {'floor µs':>10} {'ratio':>6}  "
              f"{'allocs op':>11} {'allocs floor':>12}")
    rows = [header, "-" * len(header)]
    above = []
    for (family, unit, size), run in cases.items():
        label = f"{size} {unit}" if unit else ""
        if "ratio" not in run:
            rows.append(f"{family:<22} {label:<14} {fmt_time(run['op_ns'])} {'—':>10} {'—':>6}  "
                        f"{fmt_allocs(run, 'op'):>11} {'—':>12}")
            continue
        ratio = run["ratio"]
        mark = ""
        if round(ratio, 2) > TARGET:
            mark = "  > target"
            above.append(f"{family} {label}".strip())
        rows.append(f"{family:<22} {label:<14} {fmt_time(run['op_ns'])} "
                    f"{fmt_time(run['floor_ns'])} {ratio:6.2f}  {fmt_allocs(run, 'op'):>11} "
                    f"{fmt_allocs(run, 'floor'):>12}{mark}")
    rows.append("")
    rows.append("allocs: heap blocks one call allocates (in brackets: of them, OpenSSL's)")
    rows.append(f"target: ratio <= {TARGET:.2f}; above it: {', '.join(above) if above else 'none'}")
    return "\n".join(rows)


def series(cases):
    """Families measured at several sizes: {(family, unit): [(size, op ns, floor ns)]}."""
    by_family = {}
    for (family, unit, size), run in cases.items():
        if unit and "floor_ns" in run:
            by_family.setdefault((family, unit), []).append((size, run["op_ns"], run["floor_ns"]))
    return {key: sorted(points) for key, points in by_family.items() if len(points) >= 3}


def linear_fit(points):
    """Least squares of t = c·N, and its RMS relative to the mean time (as Google Benchmark's oN)."""
    c = sum(n * t for n, t in points) / sum(n * n for n, _ in points)
    rms = math.sqrt(sum((t - c * n) ** 2 for n, t in points) / len(points))
    return c, rms / (sum(t for _, t in points) / len(points))


def growth_report(cases):
    rows = ["", "Growth with entries (t = c·N, least squares over the medians):"]
    for (family, unit), points in series(cases).items():
        op, op_rms = linear_fit([(n, t) for n, t, _ in points])
        floor, floor_rms = linear_fit([(n, t) for n, _, t in points])
        rows.append(f"  {family + ', N ' + unit + ':':<30} op {op / 1000:6.2f} µs × N (RMS "
                    f"{100 * op_rms:.0f}%)   floor {floor / 1000:6.2f} µs × N (RMS "
                    f"{100 * floor_rms:.0f}%)   ratio {op / floor:.2f}")
    return "\n".join(rows)


def write_growth(cases, directory):
    os.makedirs(directory, exist_ok=True)
    for (family, unit), points in series(cases).items():
        path = os.path.join(directory, re.sub(r"\W+", "_", family).strip("_") + ".dat")
        with open(path, "w") as f:
            f.write(f"# {family}: {unit}, operation µs, floor µs\n")
            for size, op, floor in points:
                f.write(f"{size} {op / 1000:.3f} {floor / 1000:.3f}\n")


def callgrind_report(directory):
    rounds = {}
    with open(os.path.join(directory, "rounds.txt")) as f:
        for line in f:
            label, count = line.split()
            rounds[label] = int(count)
    counts = {}  # label -> instructions per call
    trigger = "desc: Trigger: Client Request: "
    for name in os.listdir(directory):
        if not name.startswith("callgrind.out"):
            continue
        label, total = None, None
        with open(os.path.join(directory, name)) as f:
            for line in f:
                if line.startswith(trigger):
                    label = line[len(trigger):].strip()
                elif line.startswith("totals: ") or line.startswith("summary: "):
                    total = int(line.split()[1])
        if label in rounds and total is not None:
            counts[label] = total / rounds[label]
    cases = {}
    for label in rounds:  # in the order they ran: "<case>/op" or "<case>/floor"
        case, side = label.rsplit("/", 1)
        cases.setdefault(split(case), {})[side] = counts.get(label)
    header = f"{'operation':<22} {'input':<14} {'op Ir':>12} {'floor Ir':>12} {'ratio':>6}"
    rows = [header, "-" * len(header)]
    for (family, unit, size), sides in cases.items():
        label = f"{size} {unit}" if unit else ""
        op, floor = sides.get("op"), sides.get("floor")
        if floor is None:
            rows.append(f"{family:<22} {label:<14} {op:12.0f} {'—':>12} {'—':>6}")
        else:
            rows.append(f"{family:<22} {label:<14} {op:12.0f} {floor:12.0f} {op / floor:6.2f}")
    rows.append("")
    rows.append("Ir: instructions executed per call (callgrind), after one warm-up call")
    return "\n".join(rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json", nargs="?")
    parser.add_argument("--growth-dir")
    parser.add_argument("--callgrind", metavar="DIR")
    args = parser.parse_args()
    if args.callgrind:
        print(callgrind_report(args.callgrind))
        return 0
    if not args.json:
        parser.error("the benchmark's JSON output is needed")
    cases = load(args.json)
    if args.growth_dir:
        write_growth(cases, args.growth_dir)
        return 0
    print(table(cases))
    print(growth_report(cases))
    return 0


if __name__ == "__main__":
    sys.exit(main())
