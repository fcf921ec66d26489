#!/usr/bin/env python3
"""Tables from the benchmark's JSON output: each operation against its floor.

Times are the medians of the repetitions' CPU times (CPU time, as the
machine is shared). The ratio is operation over floor from the same run.

usage: report.py BENCH.json              the table and the growth fit
       report.py BENCH.json --growth-dir DIR
                                        writes DIR/<family>.dat (entries,
                                        op µs, floor µs) for the growth chart
       report.py --callgrind DIR        instruction counts from the callgrind
                                        dumps of `vomaxel_bench --instructions`
"""
import argparse
import json
import os
import re
import sys

TARGET = 1.10


def load(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    medians = {}  # run name -> run
    growth = {}   # (family, side) -> {"BigO": run, "RMS": run}
    has_aggregates = any(r.get("aggregate_name") == "median" for r in runs)
    for run in runs:
        aggregate = run.get("aggregate_name")
        if aggregate in ("BigO", "RMS"):
            family, side = run["run_name"].rsplit("/", 1)
            growth.setdefault((family, side), {})[aggregate] = run
        elif aggregate == "median" or (not has_aggregates and run["run_type"] == "iteration"):
            medians[run["run_name"]] = run
    return medians, growth


def split(run_name):
    """'DecryptMatchInfo/op/matches:64' -> ('DecryptMatchInfo', 'op', 'matches', 64)."""
    match = re.fullmatch(r"(.+?)/(op|floor)(?:/(\w+):(\d+))?", run_name)
    if not match:
        return None
    family, side, unit, size = match.groups()
    return family, side, unit or "", int(size) if size else 0


def micros(run):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run["time_unit"]]
    return run["cpu_time"] * scale


def fmt_time(us):
    return f"{us:10.3f}" if us < 10 else f"{us:10.1f}"


def fmt_allocs(run):
    return f"{int(run.get('allocs', 0))} ({int(run.get('openssl_allocs', 0))})"


def table(medians):
    cases = {}  # (family, unit, size) -> {side: run}, in order of appearance
    for name, run in medians.items():
        parts = split(name)
        if parts:
            family, side, unit, size = parts
            cases.setdefault((family, unit, size), {})[side] = run
    rows = []
    above = []
    header = (f"{'operation':<22} {'input':<14} {'op µs':>10} {'floor µs':>10} {'ratio':>6}  "
              f"{'allocs op':>10} {'allocs floor':>12}")
    rows.append(header)
    rows.append("-" * len(header))
    def order(case):
        (family, unit, size), sides = case
        return (min(run.get("family_index", 0) for run in sides.values()), size)

    for (family, unit, size), sides in sorted(cases.items(), key=order):
        op, floor = sides.get("op"), sides.get("floor")
        label = f"{size} {unit}" if unit else ""
        if op is None:
            continue
        if floor is None:
            rows.append(f"{family:<22} {label:<14} {fmt_time(micros(op))} {'—':>10} {'—':>6}  "
                        f"{fmt_allocs(op):>10} {'—':>12}")
            continue
        ratio = micros(op) / micros(floor)
        mark = "" if ratio <= TARGET else "  > target"
        if ratio > TARGET:
            above.append(f"{family} {label}".strip())
        rows.append(f"{family:<22} {label:<14} {fmt_time(micros(op))} {fmt_time(micros(floor))} "
                    f"{ratio:6.2f}  {fmt_allocs(op):>10} {fmt_allocs(floor):>12}{mark}")
    rows.append("")
    rows.append("allocs: heap blocks one call allocates (in brackets: of them, OpenSSL's)")
    rows.append(f"target: ratio <= {TARGET:.2f}; above it: {', '.join(above) if above else 'none'}")
    return "\n".join(rows)


def growth_report(growth):
    rows = ["", "Growth with entries (Google Benchmark's complexity fit, CPU time):"]
    families = sorted({family for family, _ in growth})
    for family in families:
        op, floor = growth.get((family, "op"), {}), growth.get((family, "floor"), {})
        if "BigO" not in op or "BigO" not in floor:
            continue
        op_us = op["BigO"]["cpu_coefficient"] * (1e-3 if op["BigO"]["time_unit"] == "ns" else 1)
        floor_us = floor["BigO"]["cpu_coefficient"] * (
            1e-3 if floor["BigO"]["time_unit"] == "ns" else 1)
        rows.append(
            f"  {family:<20} op {op_us:8.2f} µs × {op['BigO']['big_o']} "
            f"(RMS {100 * op['RMS']['rms']:.0f}%)   floor {floor_us:8.2f} µs × "
            f"{floor['BigO']['big_o']} (RMS {100 * floor['RMS']['rms']:.0f}%)   "
            f"per entry {op_us / floor_us:.2f}")
    return "\n".join(rows)


def write_growth(medians, growth, directory):
    os.makedirs(directory, exist_ok=True)
    series = {}
    for name, run in medians.items():
        parts = split(name)
        if parts and (parts[0], parts[1]) in growth:
            family, side, unit, size = parts
            series.setdefault((family, unit), {}).setdefault(size, {})[side] = micros(run)
    for (family, unit), points in series.items():
        path = os.path.join(directory, re.sub(r"\W+", "_", family).strip("_") + ".dat")
        with open(path, "w") as f:
            f.write(f"# {family}: {unit}, operation µs, floor µs\n")
            for size in sorted(points):
                f.write(f"{size} {points[size].get('op', 0):.3f} {points[size].get('floor', 0):.3f}\n")


def callgrind_report(directory):
    rounds = {}
    with open(os.path.join(directory, "rounds.txt")) as f:
        for line in f:
            label, count = line.split()
            rounds[label] = int(count)
    counts = {}  # label -> instructions per call
    for name in os.listdir(directory):
        if not name.startswith("callgrind.out"):
            continue
        label, total = None, None
        trigger = "desc: Trigger: Client Request: "
        with open(os.path.join(directory, name)) as f:
            for line in f:
                if line.startswith(trigger):
                    label = line[len(trigger):].strip()
                elif line.startswith("totals: ") or line.startswith("summary: "):
                    total = int(line.split()[1])
        if label in rounds and total is not None:
            counts[label] = total / rounds[label]
    cases = {}
    for label in rounds:  # in the order they ran
        family, side, unit, size = split(label)
        cases.setdefault((family, unit, size), {})[side] = counts.get(label)
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
    medians, growth = load(args.json)
    if args.growth_dir:
        write_growth(medians, growth, args.growth_dir)
        return 0
    print(table(medians))
    print(growth_report(growth))
    return 0


if __name__ == "__main__":
    sys.exit(main())
