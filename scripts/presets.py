#!/usr/bin/env python3
"""Prepares a machine for the workflow presets of CMakePresets.json and runs them.

  presets.py prepare NAME...   install what each preset needs
  presets.py run NAME...       prepare, then `cmake --workflow --preset NAME`, one after another
  presets.py ci [--jobs N]     the README's test command, then every preset of the CI set,
                               N at a time (default 2); a summary table at the end

What a preset needs is declared in its configure preset's "vendor"/"vomaxel"
object, inherited like the rest of the preset: "packages" (Debian packages,
added up along the inheritance), "cross" (an ARM architecture whose cross
toolchain and libraries scripts/install-cross-deps.sh installs), "sysroot"
(an architecture whose sysroot scripts/make-sysroot.sh makes where
VOMAXEL_SYSROOT points), "toolchain" (a receiver SDK that
scripts/prepare-toolchain.sh unpacks where VOMAXEL_TOOLCHAIN_ROOT points) and
"after" (presets that must finish first when both
run). The top-level "vendor"/"vomaxel"/"ci" lists the CI set.

A preset whose cross packages the registry cannot supply consistently
(install-cross-deps.sh exits 75) is skipped, loudly; any other failure fails.
"""
import json
import os
import re
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIPPED = 75


def load():
    with open(os.path.join(ROOT, "CMakePresets.json")) as f:
        return json.load(f)


PRESETS = load()
CONFIGURE = {p["name"]: p for p in PRESETS["configurePresets"]}
WORKFLOWS = {p["name"]: p for p in PRESETS["workflowPresets"]}


def lineage(name):
    """The configure preset and every preset it inherits from, nearest first."""
    preset = CONFIGURE[name]
    parents = preset.get("inherits", [])
    result = [preset]
    for parent in [parents] if isinstance(parents, str) else parents:
        result += [p for p in lineage(parent) if p not in result]
    return result


def needs(workflow):
    """What the workflow preset's configure preset declares it needs."""
    configure = WORKFLOWS[workflow]["steps"][0]["name"]
    found = {"packages": [], "after": []}
    cache = {}
    for preset in lineage(configure):
        vendor = preset.get("vendor", {}).get("vomaxel", {})
        for key, value in vendor.items():
            if isinstance(value, list):
                found[key] += [v for v in value if v not in found[key]]
            else:
                found.setdefault(key, value)
        for key, value in preset.get("cacheVariables", {}).items():
            cache.setdefault(key, value)
    found["cache"] = {k: str(v).replace("${sourceDir}", ROOT) for k, v in cache.items()}
    return found


def script(name, *args):
    return subprocess.run(["bash", os.path.join(ROOT, "scripts", name), *args]).returncode


def prepare(name, out=sys.stdout):
    """Installs what NAME needs; returns 0, or SKIPPED, or a failure status."""
    need = needs(name)
    status = script("install-deps.sh", *need["packages"])
    if status == 0 and "cross" in need:
        status = script("install-cross-deps.sh", need["cross"])
        if status == SKIPPED:
            print(f"!!!!!!!! {name.upper()} SKIPPED: the package registry serves no consistent "
                  f"{need['cross']} package set (see above) !!!!!!!!", file=out, flush=True)
    if status == 0 and "toolchain" in need:
        status = script("prepare-toolchain.sh", need["toolchain"], need["cache"]["VOMAXEL_TOOLCHAIN_ROOT"])
    if status == 0 and "sysroot" in need:
        status = script("make-sysroot.sh", need["sysroot"],
                        os.path.dirname(need["cache"]["VOMAXEL_SYSROOT"]))
    return status


def tests_passed(log):
    """"N/M" from CTest's closing line "P% tests passed, F tests failed out of M"."""
    found = re.findall(r"tests passed, (\d+) tests? failed out of (\d+)", log)
    if not found:
        return "-"
    failed, total = map(int, found[-1])
    return f"{total - failed}/{total}"


def workflow(name, log_path=None, share=1):
    """Runs the workflow preset on a `share` of the processors; returns its
    status and its output."""
    cpus = os.cpu_count() or 2
    env = dict(os.environ, CTEST_PARALLEL_LEVEL=str(cpus),
               CMAKE_BUILD_PARALLEL_LEVEL=str(cpus // share + 1))
    command = ["cmake", "--workflow", "--preset", name]
    if log_path is None:
        process = subprocess.Popen(command, cwd=ROOT, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True)
        output = []
        for line in process.stdout:
            sys.stdout.write(line)
            output.append(line)
        return process.wait(), "".join(output)
    with open(log_path, "w") as log:
        status = subprocess.run(command, cwd=ROOT, env=env, stdout=log,
                                stderr=subprocess.STDOUT).returncode
    with open(log_path) as log:
        return status, log.read()


class Summary:
    def __init__(self):
        self.rows = []
        self.start = time.monotonic()

    def add(self, name, verdict, tests, seconds):
        self.rows.append((name, verdict, tests, seconds))

    def print(self):
        print("\npreset                 result   tests      time")
        for name, verdict, tests, seconds in self.rows:
            print(f"{name:22} {verdict:8} {tests:>7} {seconds:7.0f} s")
        wall = time.monotonic() - self.start
        print(f"{'total (wall clock)':22} {'':8} {'':>7} {wall:7.0f} s", flush=True)

    def failed(self):
        return any(row[1] == "FAILED" for row in self.rows)


def run(names):
    summary = Summary()
    for name in names:
        start = time.monotonic()
        print(f"\n=== {name}: {WORKFLOWS[name].get('displayName', '')}", flush=True)
        status = prepare(name)
        output = ""
        if status == 0:
            status, output = workflow(name)
        verdict = {0: "ok", SKIPPED: "skipped"}.get(status, "FAILED")
        summary.add(name, verdict, tests_passed(output), time.monotonic() - start)
        if verdict == "FAILED":
            break
    summary.print()
    return 1 if summary.failed() else 0


def ci(jobs):
    """The README's test command, then the CI set, `jobs` presets at a time.

    Preparations (the package installs) take turns; a preset starts once the
    presets named in its "after" have ended. Each preset's output goes to
    build-ci/NAME.log, and is shown whole when it fails.
    """
    summary = Summary()
    start = time.monotonic()
    print("=== make test (the README's test command)", flush=True)
    status = subprocess.run(["make", "test"], cwd=ROOT).returncode
    summary.add("default (make test)", "ok" if status == 0 else "FAILED", "", time.monotonic() - start)
    if status != 0:
        summary.print()
        return 1
    os.makedirs(os.path.join(ROOT, "build-ci"), exist_ok=True)
    pending = list(PRESETS["vendor"]["vomaxel"]["ci"])
    done, lock, prepare_lock = set(), threading.Condition(), threading.Lock()

    def leg(name):
        begin = time.monotonic()
        print(f"=== {name}: started at {begin - summary.start:.0f} s", flush=True)
        with prepare_lock:
            status = prepare(name)
        output = ""
        if status == 0:
            status, output = workflow(name, os.path.join(ROOT, "build-ci", name + ".log"), jobs)
        verdict = {0: "ok", SKIPPED: "skipped"}.get(status, "FAILED")
        seconds = time.monotonic() - begin
        with lock:
            print(f"=== {name}: {verdict}, tests {tests_passed(output)}, {seconds:.0f} s", flush=True)
            if verdict == "FAILED":
                print(output, flush=True)
            summary.add(name, verdict, tests_passed(output), seconds)
            done.add(name)
            lock.notify_all()

    running = []
    with lock:
        while pending:
            ready = [n for n in pending if all(a in done or a not in pending + [r.name for r in running]
                                               for a in needs(n)["after"])]
            running = [t for t in running if t.is_alive()]
            if ready and len(running) < jobs:
                thread = threading.Thread(target=leg, args=(ready[0],), name=ready[0])
                pending.remove(ready[0])
                running.append(thread)
                thread.start()
            else:
                lock.wait(timeout=5)
    for thread in running:
        thread.join()
    summary.print()
    return 1 if summary.failed() else 0


def main(argv):
    if len(argv) >= 2 and argv[0] in ("prepare", "run"):
        unknown = [n for n in argv[1:] if n not in WORKFLOWS]
        if unknown:
            print(f"presets.py: no workflow preset {', '.join(unknown)}; "
                  f"`cmake --list-presets=workflow` lists them", file=sys.stderr)
            return 2
        if argv[0] == "prepare":
            return max(prepare(n) for n in argv[1:])
        return run(argv[1:])
    if argv[:1] == ["ci"]:
        jobs = int(argv[2]) if argv[1:2] == ["--jobs"] else 2
        return ci(jobs)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
