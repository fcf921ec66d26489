#!/usr/bin/env python3
"""Generates, prepares and runs the presets of the configurations.

  presets.py generate [--check]  write CMakePresets.json from cmake/configurations.json
                               (--check: fail if it is not what that file gives)
  presets.py prepare NAME...   install what each workflow preset needs
  presets.py run NAME...       prepare, then `cmake --workflow --preset NAME`, one after another
  presets.py abi-baseline [NAME...]  build every preset marked "abiBaseline" (or those
                               named) and write its baseline in abi/ after an intended
                               change of the interface, or for a new architecture
  presets.py ci [--jobs N]     the README's test command, then every preset of the CI set,
                               N at a time (default 2); a summary table at the end

cmake/configurations.json holds one configure preset per configuration, with
its description; CMakePresets.json includes it and adds the build, test and
workflow presets of the same name that each one implies. What else a
configuration needs is declared in its "vendor"/"vomaxel" object, inherited
like the rest of the preset:
  "packages"   Debian packages (added up along the inheritance)
  "cross"      an architecture whose cross toolchain and multiarch libraries
               scripts/install-cross-deps.sh installs
  "sysroot"    an architecture whose sysroot scripts/make-sysroot.sh makes
               where VOMAXEL_SYSROOT points
  "toolchain"  a receiver SDK that scripts/prepare-toolchain.sh unpacks where
               VOMAXEL_TOOLCHAIN_ROOT points
  "locales"    locales (such as de_DE.UTF-8) that scripts/generate-locales.sh
               generates (added up)
  "after"      presets that must finish first when both run
  "tests"      {"skip": labels} (added up), {"only": labels}, {"environment": ...}
  "targets"    what the build builds (default: everything)
and, not inherited, "ci" (true: in the CI set), "abiBaseline" (true: its build
makes an ABI baseline, abi/ and VOMAXEL_ABI_BASELINE) and "variants" (further test
presets, each with "displayName", "tests" and "ci", over the same build).

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


TABLE = "cmake/configurations.json"
GENERATED = "CMakePresets.json"
# Longest first: each CI preset's last time on this machine, else its time
# from a clean clone on a machine with empty caches (SEEDED, in the tree).
TIMES = os.path.join(os.environ.get("HOME", ROOT), ".cache", "vomaxel", "ci-seconds.json")
SEEDED = os.path.join(ROOT, "cmake", "ci-seconds.json")


def load(name):
    with open(os.path.join(ROOT, name)) as f:
        return json.load(f)


CONFIGURE = {p["name"]: p for p in load(TABLE)["configurePresets"]}


def vendor(preset):
    return preset.get("vendor", {}).get("vomaxel", {})


def suite(name, configure, display, tests):
    """The test preset NAME over CONFIGURE's build: every test but those
    labelled memcheck or one of the skipped labels, or only the labels named."""
    preset = {"name": name, "displayName": display, "configurePreset": configure,
              "output": {"outputOnFailure": True}, "execution": {"noTestsAction": "error"}}
    only = tests.get("only")
    labels = only or ["memcheck"] + tests.get("skip", [])
    pattern = "^" + labels[0] + "$" if len(labels) == 1 else "^(" + "|".join(labels) + ")$"
    preset["filter"] = {"include" if only else "exclude": {"label": pattern}}
    if "environment" in tests:
        preset["environment"] = tests["environment"]
    return preset


def generate():
    """CMakePresets.json's text: TABLE's presets and their build, test and workflow presets."""
    builds, tests, workflows = [], [], []
    for name, preset in CONFIGURE.items():
        if preset.get("hidden"):
            continue
        display, need = preset["displayName"], needs_of(name)
        build = {"name": name, "displayName": display, "configurePreset": name}
        if "targets" in need:
            build["targets"] = need["targets"]
        builds.append(build)
        runs = [(name, display, need["tests"])]
        runs += [(variant, v["displayName"], v.get("tests", {}))
                 for variant, v in vendor(preset).get("variants", {}).items()]
        for test, text, filters in runs:
            tests.append(suite(test, name, text, filters))
            steps = [{"type": "configure", "name": name}, {"type": "build", "name": name},
                     {"type": "test", "name": test}]
            workflows.append({"name": test, "displayName": text, "steps": steps})
    lines = ['{', '  "version": 6,',
             '  "cmakeMinimumRequired": {"major": 3, "minor": 25, "patch": 0},',
             f'  "include": ["{TABLE}"],',
             f'  "vendor": {{"vomaxel": {{"generatedFrom": "{TABLE}, by `python3 scripts/presets.py generate`"}}}},']
    kinds = [("buildPresets", builds), ("testPresets", tests), ("workflowPresets", workflows)]
    for i, (kind, presets) in enumerate(kinds):
        lines.append(f'  "{kind}": [')
        lines += ["    " + json.dumps(p) + ("," if j < len(presets) - 1 else "")
                  for j, p in enumerate(presets)]
        lines.append("  ]" + ("," if i < len(kinds) - 1 else ""))
    return "\n".join(lines + ["}"]) + "\n"


def workflows():
    return {p["name"]: p for p in json.loads(generate())["workflowPresets"]}


def ci_set():
    """The CI set: the presets and variants marked "ci"."""
    names = []
    for name, preset in CONFIGURE.items():
        if vendor(preset).get("ci"):
            names.append(name)
        names += [v for v, variant in vendor(preset).get("variants", {}).items() if variant.get("ci")]
    return names


def lineage(name):
    """The configure preset and every preset it inherits from, nearest first."""
    preset = CONFIGURE[name]
    parents = preset.get("inherits", [])
    result = [preset]
    for parent in [parents] if isinstance(parents, str) else parents:
        result += [p for p in lineage(parent) if p not in result]
    return result


def expand(value):
    """A preset's value with the macros that the runner's steps need expanded."""
    value = value.replace("${sourceDir}", ROOT)
    return re.sub(r"\$env\{(\w+)\}", lambda m: os.environ.get(m.group(1), ""), value)


def needs_of(configure):
    """What the configure preset declares it needs, with what it inherits."""
    found = {"packages": [], "after": [], "tests": {}}
    cache = {}
    for preset in lineage(configure):
        for key, value in vendor(preset).items():
            if key in ("ci", "variants", "abiBaseline") and preset is not CONFIGURE[configure]:
                continue
            if isinstance(value, list):
                found.setdefault(key, [])
                found[key] += [v for v in value if v not in found[key]]
            elif key == "tests":
                tests = found["tests"]
                tests["skip"] = tests.get("skip", []) + [
                    v for v in value.get("skip", []) if v not in tests.get("skip", [])]
                for k in ("only", "environment"):
                    if k in value:
                        tests.setdefault(k, value[k])
            else:
                found.setdefault(key, value)
        for key, value in preset.get("cacheVariables", {}).items():
            cache.setdefault(key, value)
    if not found["tests"].get("skip"):
        found["tests"].pop("skip", None)
    found["cache"] = {k: expand(str(v)) for k, v in cache.items()}
    return found


def needs(workflow):
    """What the workflow preset's configure preset declares it needs."""
    return needs_of(WORKFLOWS[workflow]["steps"][0]["name"])


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
    if status == 0 and need.get("locales"):
        status = script("generate-locales.sh", *need["locales"])
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


STEPS = ("prepare", "configure", "build", "test")


def workflow(name, log_path=None, share=1):
    """Runs the workflow preset's steps on a `share` of the processors (one
    more job than that share, so that a build's waits leave no processor
    idle), one command each, as `cmake --workflow` would; returns its status,
    its output and the seconds each step took."""
    cpus = os.cpu_count() or 2
    env = dict(os.environ, CTEST_PARALLEL_LEVEL=str(cpus),
               CMAKE_BUILD_PARALLEL_LEVEL=str(-(-cpus // share) + 1))
    steps = WORKFLOWS[name]["steps"]
    commands = [("configure", ["cmake", "--preset", steps[0]["name"]]),
                ("build", ["cmake", "--build", "--preset", steps[1]["name"]]),
                ("test", ["ctest", "--preset", steps[2]["name"]])]
    log = open(log_path, "w") if log_path else None
    output, seconds, status = [], {}, 0
    try:
        for step, command in commands:
            begin = time.monotonic()
            process = subprocess.Popen(command, cwd=ROOT, env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.STDOUT, text=True)
            for line in process.stdout:
                (log or sys.stdout).write(line)
                output.append(line)
            status = process.wait()
            seconds[step] = time.monotonic() - begin
            if status:
                break
    finally:
        if log:
            log.close()
    return status, "".join(output), seconds


class Summary:
    def __init__(self):
        self.rows = []
        self.start = time.monotonic()

    def add(self, name, verdict, tests, seconds, steps=None):
        self.rows.append((name, verdict, tests, seconds, steps or {}))

    def print(self):
        width = max([28] + [len(row[0]) for row in self.rows])
        print(f"\n{'preset':{width}} result   tests   prepare configure  build   test    time")
        for name, verdict, tests, seconds, steps in self.rows:
            parts = "".join(f"{steps[s]:7.0f} s" if s in steps else f"{'':9}" for s in STEPS)
            print(f"{name:{width}} {verdict:8} {tests:>7} {parts} {seconds:5.0f} s")
        wall = time.monotonic() - self.start
        print(f"{'total (wall clock)':{width}} {'':8} {'':>7} {'':36} {wall:5.0f} s", flush=True)

    def failed(self):
        return any(row[1] == "FAILED" for row in self.rows)


def run(names):
    summary = Summary()
    for name in names:
        start = time.monotonic()
        print(f"\n=== {name}: {WORKFLOWS[name].get('displayName', '')}", flush=True)
        status = prepare(name)
        steps = {"prepare": time.monotonic() - start}
        output = ""
        if status == 0:
            status, output, seconds = workflow(name)
            steps.update(seconds)
        verdict = {0: "ok", SKIPPED: "skipped"}.get(status, "FAILED")
        summary.add(name, verdict, tests_passed(output), time.monotonic() - start, steps)
        if verdict == "FAILED":
            break
    summary.print()
    return 1 if summary.failed() else 0


def chain_seconds(name, names, times):
    """How long NAME and the longest chain of NAMES that must wait for it take
    (a preset without a time first): the CI set starts the longest chains first."""
    followers = [n for n in names if name in needs(n)["after"]]
    return times.get(name, float("inf")) + max(
        [chain_seconds(n, names, times) for n in followers], default=0)


def ci(jobs):
    """The README's test command, then the CI set, `jobs` presets at a time.

    Preparations (the package installs) take turns; a preset starts once the
    presets named in its "after" have ended, the longest chains first. Each
    preset's output goes to build-ci/NAME.log, and is shown whole when it fails.
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
    names, times = ci_set(), last_times()
    pending = sorted(names, key=lambda n: -chain_seconds(n, names, times))
    done, lock, prepare_lock = set(), threading.Condition(), threading.Lock()

    def leg(name):
        begin = time.monotonic()
        print(f"=== {name}: started at {begin - summary.start:.0f} s", flush=True)
        with prepare_lock:
            status = prepare(name)
        steps = {"prepare": time.monotonic() - begin}
        output = ""
        if status == 0:
            status, output, seconds = workflow(name, os.path.join(ROOT, "build-ci", name + ".log"), jobs)
            steps.update(seconds)
        verdict = {0: "ok", SKIPPED: "skipped"}.get(status, "FAILED")
        seconds = time.monotonic() - begin
        with lock:
            print(f"=== {name}: {verdict}, tests {tests_passed(output)}, {seconds:.0f} s", flush=True)
            if verdict == "FAILED":
                print(output, flush=True)
            summary.add(name, verdict, tests_passed(output), seconds, steps)
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
    os.makedirs(os.path.dirname(TIMES), exist_ok=True)
    with open(TIMES, "w") as f:
        json.dump(dict(read_times(TIMES), **{row[0]: round(row[3]) for row in summary.rows}), f)
    return 1 if summary.failed() else 0


WORKFLOWS = workflows()


def abi_baseline(names):
    """Writes the ABI baseline of each preset marked "abiBaseline" (of NAMES, if any) from its build."""
    for name, preset in CONFIGURE.items():
        if not vendor(preset).get("abiBaseline") or names and name not in names:
            continue
        status = prepare(name)
        for step in (["cmake", "--preset", name], ["cmake", "--build", "--preset", name]):
            status = status or subprocess.run(step, cwd=ROOT).returncode
        if status:
            return status
        build = expand(next(p["binaryDir"] for p in lineage(name) if "binaryDir" in p)
                       .replace("${presetName}", name))
        with open(os.path.join(build, "CMakeCache.txt")) as f:
            baseline = re.search(r"^VOMAXEL_ABI_BASELINE:\w+=(.*)$", f.read(), re.M).group(1)
        status = subprocess.run(
            ["abidw", "--headers-dir", "include", "--drop-private-types", "--short-locs",
             "--no-corpus-path", "--no-comp-dir-path", "--out-file", os.path.join("abi", baseline),
             os.path.join(build, "libVomaxel.so")], cwd=ROOT).returncode
        if status:
            return status
        print(f"abi/{baseline} from {name}")
    return 0


def read_times(path):
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return {}


def last_times():
    return dict(read_times(SEEDED), **read_times(TIMES))


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
    if argv[:1] == ["abi-baseline"]:
        unknown = [n for n in argv[1:] if not vendor(CONFIGURE.get(n, {})).get("abiBaseline")]
        if unknown:
            print(f"presets.py: {', '.join(unknown)}: no preset that makes an ABI baseline", file=sys.stderr)
            return 2
        return abi_baseline(argv[1:])
    if argv[:1] == ["generate"]:
        text = generate()
        path = os.path.join(ROOT, GENERATED)
        if argv[1:] == ["--check"]:
            with open(path) as f:
                if f.read() != text:
                    print(f"presets.py: {GENERATED} is not what {TABLE} gives: run "
                          f"`python3 scripts/presets.py generate`", file=sys.stderr)
                    return 1
            return 0
        with open(path, "w") as f:
            f.write(text)
        return 0
    if argv[:1] == ["ci"]:
        jobs = int(argv[2]) if argv[1:2] == ["--jobs"] else 2
        return ci(jobs)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
