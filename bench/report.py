#!/usr/bin/env python3
"""Turns the benchmark's raw results into docs/PERFORMANCE.md and prints it.

    report.py RESULTS_DIR OUTPUT_MD

RESULTS_DIR holds machine.tsv, ops-SIZE.tsv (from uasbench) and
startup-LABEL.tsv (from uaslaunch), as bench/run.sh leaves them.
"""
import glob
import os
import sys

# Goals the figures are held against.
STARTUP_RATIO_GOAL = 1.15          # program / floor, demo installation
STARTUP_BIG_GOAL_MS = 2000.0       # start-up at the biggest size
GROWTH_PER_TENFOLD_GOAL = 12.0
GROWTH_LAST_STEP_GOAL = 4.0        # 10 000 -> 32 767
SETFILE_GOAL_MS = 20.0             # reading or writing at 10 000
SETFILE_GOAL_SIZE = 10000
# Below this the clock and the machine's noise decide a growth factor.
GROWTH_JUDGED_FROM_MS = 1.0

OPERATIONS = [
    ("units.load", "Load and check the units data (first UnitInitialize)"),
    ("units.parse", "  of which: reading and checking the units file alone"),
    ("units.dupcheck.predicted", "  of which (estimate): the repeated-name check, N(N-1)/2 comparisons"),
    ("catalogue", "Build the dimension catalogue (DimCatalogueCreate)"),
    ("names", "Dimension name list (DimNamesCreate)"),
    ("dimlist", "Fill the Dimensions list (DimListShow)"),
    ("listbox.bare", "Bare list box of the same size, LB_ADDSTRING x N"),
    ("listbox.bare.initstorage", "Bare list box, LB_INITSTORAGE then LB_ADDSTRING x N"),
    ("listbox.redraw", "WM_SETREDRAW off and on, once (every list fill pays it)"),
    ("setfile.write", "Write a set naming every dimension (SetFileSave)"),
    ("setfile.read", "Read a set naming every dimension (SetFileRead)"),
    ("stdio.putc", "  for comparison: putc of a set body's bytes (51 per dimension)"),
    ("stdio.getc", "  for comparison: getc of the same bytes"),
    ("stdio.block", "  for comparison: one fwrite and one fread of the same bytes"),
    ("new", "New (EditNewSet)"),
    ("select", "Select a dimension (Units list refill)"),
    ("setcatalogue", "Set catalogue (UasCreateUasInfoList, empty set folder)"),
    ("startup.platform", "In-process: first bare window with eight controls (platform cost)"),
    ("startup.window", "In-process start-up: MainWindowCreate"),
    ("startup.inprocess", "In-process start-up: resources + units + window"),
    ("units.symlist.first", "UnitGetSymList of the first dimension"),
    ("units.symlist.last", "UnitGetSymList of the last dimension"),
]
# Operations whose growth is held against the goals (the rest explain them).
JUDGED = {"units.load", "catalogue", "dimlist", "setfile.write", "setfile.read", "new", "select",
          "startup.inprocess"}


def read_tsv(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.rstrip("\r\n").split("\t") for line in f if line.strip()]


def load(results):
    machine = {}
    if os.path.exists(os.path.join(results, "machine.tsv")):
        machine = {row[0]: row[1] for row in read_tsv(os.path.join(results, "machine.tsv")) if len(row) >= 2}
    ops, mem, checks = {}, {}, {}
    for path in glob.glob(os.path.join(results, "ops-*.tsv")):
        size = int(os.path.basename(path)[4:-4])
        ops[size], mem[size], checks[size] = {}, {}, {}
        for row in read_tsv(path):
            if row[0] == "op" and len(row) >= 5:
                ops[size][row[1]] = (float(row[2]), float(row[3]), int(row[4]))
            elif row[0] == "mem" and len(row) >= 3:
                mem[size][row[1]] = int(row[2])
            elif row[0] == "check" and len(row) >= 3:
                checks[size][row[1]] = row[2]
    startup = {}
    for path in glob.glob(os.path.join(results, "startup-*.tsv")):
        for row in read_tsv(path):
            if row[0] == "startup" and len(row) >= 8:
                startup[row[1]] = {
                    "pairs": int(row[2]), "floor": float(row[3]), "program": float(row[4]),
                    "floor_exit": float(row[5]), "program_exit": float(row[6]), "failures": int(row[7]),
                }
    return machine, ops, mem, checks, startup


def size_label(size):
    return "{:,}".format(size).replace(",", " ")


def fmt_ms(ms):
    if ms is None:
        return "-"
    if ms >= 100:
        return "%.0f" % ms
    if ms >= 10:
        return "%.1f" % ms
    if ms >= 0.1:
        return "%.2f" % ms
    return "%.3f" % ms


def growth_cell(key, before, after, small, big):
    """The growth factor, marked when it breaks its goal."""
    if before is None or after is None or before <= 0:
        return "-", False
    factor = after / before
    text = "x%.1f" % factor
    goal = GROWTH_PER_TENFOLD_GOAL if big == small * 10 else GROWTH_LAST_STEP_GOAL
    judged = key in JUDGED and after >= GROWTH_JUDGED_FROM_MS
    if judged and factor > goal:
        return "**%s**" % text, True
    return text, False


def ops_table(ops):
    sizes = sorted(ops)
    head = ["Operation"]
    for i, size in enumerate(sizes):
        if i:
            head.append("growth")
        head.append("%s dims (ms)" % size_label(size))
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    broken = []
    for key, label in OPERATIONS:
        if not any(key in ops[s] for s in sizes):
            continue
        cells = [("&nbsp;&nbsp;" + label.strip()) if label.startswith("  ") else label]
        previous = None
        for i, size in enumerate(sizes):
            value = ops[size].get(key, (None, None, 0))[0]
            if i:
                cell, bad = growth_cell(key, previous, value, sizes[i - 1], size)
                cells.append(cell)
                if bad:
                    broken.append((key, sizes[i - 1], size, value / previous))
            runs = ops[size].get(key, (None, None, 0))[2]
            cells.append(fmt_ms(value) + ("" if runs != 1 or key.startswith(("units.load", "units.dup", "startup")) else " (1 run)"))
            previous = value
        lines.append("| " + " | ".join(cells) + " |")
    return lines, broken


def startup_table(startup):
    order = ["demo"] + sorted((k for k in startup if k != "demo"), key=lambda k: int(k) if k.isdigit() else 0)
    lines = ["| Installation | pairs | floor (ms) | uasedit.exe (ms) | ratio | uasedit close to exit (ms) |",
             "|---|---|---|---|---|---|"]
    verdicts = []
    for label in order:
        if label not in startup:
            continue
        s = startup[label]
        ratio = s["program"] / s["floor"] if s["floor"] > 0 else float("nan")
        name = "demo installation" if label == "demo" else "%s dimensions" % size_label(int(label))
        lines.append("| %s | %d | %s | %s | %.2f | %s |" % (
            name, s["pairs"], fmt_ms(s["floor"]), fmt_ms(s["program"]), ratio, fmt_ms(s["program_exit"])))
        if label == "demo":
            verdicts.append("Start-up on the demo installation: ratio %.2f against the goal %.2f: %s." % (
                ratio, STARTUP_RATIO_GOAL, "met" if ratio <= STARTUP_RATIO_GOAL else "**not met**"))
    big = [k for k in startup if k.isdigit()]
    if big:
        biggest = max(big, key=int)
        ms = startup[biggest]["program"]
        verdicts.append("Start-up with %s dimensions: %s ms against the goal %.0f ms: %s." % (
            size_label(int(biggest)), fmt_ms(ms), STARTUP_BIG_GOAL_MS,
            "met" if ms <= STARTUP_BIG_GOAL_MS else "**not met**"))
    return lines, verdicts


def memory_table(mem):
    sizes = sorted(mem)
    kx = any("started.kx.bytes" in mem[s] for s in sizes)
    head = ["Dimensions", "heap in use after start-up", "heap bytes per dimension", "heap blocks per dimension",
            "private bytes after start-up", "private bytes per dimension"]
    if kx:
        head += ["KxMemoryUsage bytes", "KxMemoryUsage bytes per dimension"]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for size in sizes:
        m = mem[size]
        if "started.heap.bytes" not in m:
            continue
        held = m["started.heap.bytes"] - m["before.heap.bytes"]
        blocks = m["started.heap.blocks"] - m["before.heap.blocks"]
        private = m.get("started.pagefile", 0)
        private_held = private - m.get("before.pagefile", 0)
        row = [size_label(size), "%.1f MB" % (m["started.heap.bytes"] / 1e6), "%.0f" % (held / size),
               "%.1f" % (blocks / size), "%.1f MB" % (private / 1e6), "%.0f" % (private_held / size)]
        if kx:
            kxb = m.get("started.kx.bytes", 0) - m.get("before.kx.bytes", 0)
            row += ["%d" % m.get("started.kx.bytes", 0), "%.0f" % (kxb / size)]
        lines.append("| " + " | ".join(row) + " |")
    return lines, kx


def render(machine, ops, mem, checks, startup):
    out = ["# Performance", "",
           "Made by `bench/run.sh`; run it again after a change and commit the new page.",
           "", "| | |", "|---|---|",
           "| Date | %s |" % machine.get("date", "?"),
           "| Machine | %s, %s cores |" % (machine.get("cpu", "?"), machine.get("cores", "?")),
           "| Wine | %s |" % machine.get("wine", "?"),
           "| Commit | %s |" % machine.get("commit", "?"), ""]

    out += ["## Start-up against the floor", "",
            "The floor is `uasfloor.exe`, a bare program that registers a class and shows a window with",
            "eight child controls. `uaslaunch.exe` starts it and `uasedit.exe` alternately under one",
            "warm wineserver, times each from `CreateProcessW` until its main window is visible, then",
            "closes it with `WM_CLOSE` and waits for the process to end. Medians over the pairs shown",
            "(at most %s pairs, or fewer once %s s were spent on an installation)." % (
                machine.get("runs", "?"), machine.get("budget", "?")), ""]
    if startup:
        lines, verdicts = startup_table(startup)
        out += lines + [""] + ["- " + v for v in verdicts] + [""]
    else:
        out += ["No start-up results.", ""]

    out += ["## Operations at every size", "",
            "In-process timings by `uasbench.exe`, one process per size (the units library loads its",
            "data once per process), with the real main window. Generated units libraries:",
            "`DimensionNNNNNN` names, 20 symbols each. Median of up to %s runs (`QueryPerformanceCounter`);" % machine.get("opruns", "?"),
            "an operation that takes many seconds is run once. Growth is the factor from one size to",
            "the next; **bold** marks a growth above its goal (x%.0f per tenfold size, x%.0f from 10 000 to" % (
                GROWTH_PER_TENFOLD_GOAL, GROWTH_LAST_STEP_GOAL),
            "32 767), judged for the program's operations once they take %.0f ms or more." % GROWTH_JUDGED_FROM_MS, ""]
    broken = []
    if ops:
        lines, broken = ops_table(ops)
        out += lines + [""]
        verdicts = []
        if SETFILE_GOAL_SIZE in ops:
            for key in ("setfile.read", "setfile.write"):
                value = ops[SETFILE_GOAL_SIZE].get(key, (None,))[0]
                if value is not None:
                    verdicts.append("%s at %s dimensions: %s ms against the goal %.0f ms: %s." % (
                        key, size_label(SETFILE_GOAL_SIZE), fmt_ms(value), SETFILE_GOAL_MS,
                        "met" if value <= SETFILE_GOAL_MS else "**not met**"))
        for key, small, big, factor in broken:
            verdicts.append("%s grows x%.1f from %s to %s dimensions." % (
                key, factor, size_label(small), size_label(big)))
        out += ["- " + v for v in verdicts] + [""]
        failed = ["%s at %s" % (k, size_label(s)) for s in sorted(checks) for k, v in checks[s].items() if v != "ok"]
        out += ["Checks made by the harness on what each operation did (row counts, the set read back,",
                "the Units list after a selection): %s." % ("all passed" if not failed else
                                                             "**failed: " + ", ".join(failed) + "**"), ""]
    else:
        out += ["No operation results.", ""]

    out += ["## Memory", "",
            "After start-up (main window created, catalogue and lists filled), per size. \"Per dimension\"",
            "is the growth from just before the units library loaded, divided by the number of dimensions.",
            "Heap figures walk every heap of the process (`HeapWalk`); the installation's blocks and the",
            "runtime's containers both live there, and so do the list boxes' rows. Private bytes: Wine 8",
            "leaves `PrivateUsage` of `GetProcessMemoryInfo` at 0, so its `PagefileUsage` (the process's",
            "anonymous resident memory) is shown instead.", ""]
    if mem:
        lines, kx = memory_table(mem)
        out += lines + [""]
        if not kx:
            out += ["The general support library has no `KxMemoryUsage` export in this build; the harness",
                    "looks it up at run time and will show its figures once it exists.", ""]
    return "\n".join(out)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    text = render(*load(argv[1]))
    with open(argv[2], "w", encoding="utf-8") as f:
        f.write(text)
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
