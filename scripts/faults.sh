#!/usr/bin/env bash
# Fault injection: puts one realistic fault at a time into a scratch copy of
# the tree, rebuilds what the fault's tests need, runs those tests and says
# whether they noticed. Ends with a table (fault, tests, caught, seconds) and
# the share of faults caught; the exit code is non-zero when one was missed
# or is stale (its text no longer found exactly once).
#
#   scripts/faults.sh [NAME-REGEX]    only the faults whose name matches
#
# The list is scripts/faults.txt (or $UAS_FAULTS). The working tree is never
# changed: the copy lives in $UAS_BUILD/faults/src and is built in
# $UAS_BUILD/faults/build, with its own Wine prefix; each fault's test output
# is kept in $UAS_BUILD/faults/logs. Not part of test.sh.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

UAS_FAULTS=${UAS_FAULTS:-$UAS_ROOT/scripts/faults.txt}
FAULTS_DIR=$UAS_BUILD/faults
export UAS_FAULTS FAULTS_DIR UAS_ROOT
FAULTS_ONLY=${1:-}
export FAULTS_ONLY

uas_setup
trap uas_stop EXIT
uas_start_xvfb
uas_wine_prefix "$FAULTS_DIR/wineprefix"

python3 - <<'PYTHON'
import os, re, subprocess, sys, time

root = os.environ["UAS_ROOT"]
work = os.environ["FAULTS_DIR"]
src = os.path.join(work, "src")
bld = os.path.join(work, "build")
only = os.environ.get("FAULTS_ONLY", "")


def log(text):
    print("== " + text, file=sys.stderr, flush=True)


def sync_tree():
    """Copies the tree into src, writing only files whose bytes differ, so
    that an unchanged file keeps its time and is not rebuilt; a file written
    back after a fault is newer than its faulty object and is rebuilt."""
    wanted = set()
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        if rel == ".":
            dirs[:] = [d for d in dirs if d not in ("build", ".git")]
        for name in files:
            relpath = os.path.normpath(os.path.join(rel, name))
            wanted.add(relpath)
            source = os.path.join(folder, name)
            target = os.path.join(src, relpath)
            with open(source, "rb") as f:
                data = f.read()
            try:
                with open(target, "rb") as f:
                    if f.read() == data:
                        continue
            except FileNotFoundError:
                os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(data)
            os.chmod(target, os.stat(source).st_mode & 0o777)
    for folder, dirs, files in os.walk(src):
        for name in files:
            path = os.path.join(folder, name)
            if os.path.relpath(path, src) not in wanted:
                os.remove(path)


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def read_faults(path):
    """Blocks of 'key: value' lines separated by blank lines; keys fault,
    file, tests (a CTest regex), find, replace, and optionally filter (a
    GoogleTest filter for the test programs). \\n in find and replace is a
    line break."""
    faults, current = [], {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                if current:
                    faults.append(current)
                current = {}
                continue
            key, sep, value = line.partition(":")
            if not sep:
                sys.exit(f"{path}:{number}: expected 'key: value'")
            if key.strip() in current:
                sys.exit(f"{path}:{number}: a second '{key.strip()}' in one block: is a blank line missing?")
            current[key.strip()] = value[1:] if value.startswith(" ") else value
    if current:
        faults.append(current)
    for fault in faults:
        for key in ("fault", "file", "tests", "find", "replace"):
            if key not in fault:
                sys.exit(f"{path}: fault {fault.get('fault', '?')} has no '{key}'")
        fault["find"] = unescape(fault["find"])
        fault["replace"] = unescape(fault["replace"])
    return faults


def run(args, **kwargs):
    # A compiler or test may print bytes that are not UTF-8 (a quoted line of
    # a resource file in another code page): shown replaced, never fatal.
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace", **kwargs)


def tests_of(pattern):
    out = run(["ctest", "-N", "-R", pattern], cwd=bld).stdout
    return re.findall(r"Test\s+#\d+: (\S+)", out)


def targets_of(tests):
    """The build targets a fault's tests need: the test programs among them.
    A test that is a script or a fixture step, not a program, needs the
    whole build."""
    if all(t in build_targets for t in tests):
        return tests
    return ["all"]


faults = read_faults(os.environ["UAS_FAULTS"])
if only:
    faults = [f for f in faults if re.search(only, f["fault"])]

log(f"copying the tree to {src}")
sync_tree()
log(f"building {bld} once")
configure = run(["cmake", "-S", src, "-B", bld, "-DCMAKE_BUILD_TYPE=Release",
                 f"-DCMAKE_TOOLCHAIN_FILE={src}/cmake/toolchain-x86_64.cmake",
                 "-DUAS_BUILD_TESTS=ON", "-DUAS_WARNINGS_AS_ERRORS=OFF"])
if configure.returncode != 0:
    sys.exit(configure.stdout)
build = run(["cmake", "--build", bld, "-j", str(os.cpu_count() or 1)])
if build.returncode != 0:
    sys.exit("the unchanged tree does not build:\n" + build.stdout[-4000:])
# The targets of the build, for targets_of: the same for every fault.
target_help = run(["cmake", "--build", bld, "--target", "help"]).stdout
build_targets = set(re.findall(r"^\.\.\. (\S+)", target_help, re.M))
# The shell holds the desktop until this runner ends and closes its input.
hold = subprocess.Popen(["bash", "-c", '. "$1/scripts/lib.sh" && uas_hold_desktop "$2" && echo held && cat >/dev/null',
                         "hold", root, os.path.join(bld, "bin", "deskhold.exe")],
                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
if hold.stdout.readline().strip() != "held":
    sys.exit("the desktop of the fault runs could not be held open")

rows = []
for fault in faults:
    name, path = fault["fault"], os.path.join(src, fault["file"])
    started = time.monotonic()
    with open(path, encoding="utf-8", newline="") as f:
        original = f.read()
    count = original.count(fault["find"])
    if count != 1:
        rows.append((name, "-", f"STALE ({count} matches)", 0.0))
        log(f"{name}: stale, the text is found {count} times in {fault['file']}")
        continue
    tests = tests_of(fault["tests"])
    if not tests:
        rows.append((name, "-", "NO TESTS match " + fault["tests"], 0.0))
        continue
    try:
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(original.replace(fault["find"], fault["replace"], 1))
        built = run(["cmake", "--build", bld, "-j", str(os.cpu_count() or 1), "--target", *targets_of(tests)])
        if built.returncode != 0:
            verdict = "NO BUILD"
            log(f"{name}: does not build\n" + built.stdout[-2000:])
        else:
            env = dict(os.environ)
            if fault.get("filter"):
                env["GTEST_FILTER"] = fault["filter"]
            ran = run(["ctest", "--output-on-failure", "-R", fault["tests"], "--timeout", "120"],
                      cwd=bld, env=env)
            # What the tests said, for a look at why a fault was (not) caught.
            os.makedirs(os.path.join(work, "logs"), exist_ok=True)
            with open(os.path.join(work, "logs", name + ".log"), "w") as f:
                f.write(ran.stdout)
            failed = re.findall(r"\d+ - (\S+) \((\w+)\)", ran.stdout)
            verdict = "yes" if ran.returncode != 0 else "NO"
            if failed:
                verdict += " (" + ", ".join(f"{t}: {why}" for t, why in failed) + ")"
    finally:
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(original)
    seconds = time.monotonic() - started
    shown = ", ".join(tests) + (f" [{fault['filter']}]" if fault.get("filter") else "")
    rows.append((name, shown, verdict, seconds))
    log(f"{name}: caught {verdict} in {seconds:.0f} s")

width = max([len(r[0]) for r in rows] + [5])
print(f"\n{'fault':<{width}}  {'caught':<40}  {'s':>4}  tests")
for name, tests, verdict, seconds in rows:
    print(f"{name:<{width}}  {verdict:<40}  {seconds:4.0f}  {tests}")
caught = sum(1 for r in rows if r[2].startswith("yes"))
print(f"\n{caught} of {len(rows)} faults caught ({100 * caught // max(len(rows), 1)} %)")
sys.exit(0 if caught == len(rows) else 1)
PYTHON
