#!/usr/bin/env python3
"""Turns the benchmark's raw results into docs/PERFORMANCE.md and prints it.

    report.py RESULTS_DIR OUTPUT_MD

RESULTS_DIR holds machine.tsv, ops-SIZE.tsv (from uasbench) and
startup-LABEL.tsv (from uaslaunch), as bench/run.sh leaves them.
"""
import glob
import statistics
import os
import sys

# Goals the figures are held against.
STARTUP_RATIO_GOAL = 1.15          # program / floor, demo installation
STARTUP_BIG_GOAL_MS = 2000.0       # start-up at the biggest size
GROWTH_PER_TENFOLD_GOAL = 12.0
GROWTH_LAST_STEP_GOAL = 4.0        # 10 000 -> 32 767
SETFILE_GOAL_MS = 20.0             # reading or writing at 10 000
SETFILE_GOAL_SIZE = 10000
# The set folder: the dialog at 10 000 sets against 100, and per tenfold.
SETS_SMALL, SETS_BIG = 100, 10000
SETS_RATIO_GOAL = 2.0
SETS_GROWTH_GOAL = 2.0
# Start-up at the biggest size: in-process against the floor of its data
# (reading and checking the units file plus filling the Dimensions list), and
# from outside against the start-up at 1 000 dimensions.
STARTUP_FLOOR_RATIO_GOAL = 2.0
STARTUP_OUTSIDE_RATIO_GOAL = 3.0
STARTUP_OUTSIDE_BASE = "1000"
# Closing to process end against the floor that loads the same libraries.
CLOSE_RATIO_GOAL = 1.5
# Below this the clock and the machine's noise decide a growth factor.
GROWTH_JUDGED_FROM_MS = 1.0

OPERATIONS = [
    ("units.load", "Load and check the units data (first UnitInitialize)"),
    ("units.parse", "  of which: reading and checking the units file alone"),
    ("units.dupcheck.predicted", "  of which (estimate): the repeated-name check, N(N-1)/2 comparisons"),
    ("catalogue", "Build the dimension catalogue (DimCatalogueCreate)"),
    ("catalogue.fresh", "  the same in memory the process has not touched before, as at start-up"),
    ("platform.firsttouch", "  for comparison: first touch of fresh memory, per MB (platform cost)"),
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
    # The in-process start-up, once per process: the median over the
    # processes that timed it alone and the one that timed everything.
    inproc = {}
    for path in glob.glob(os.path.join(results, "inproc-*-*.tsv")):
        size = int(os.path.basename(path).split("-")[1])
        own = {}
        for row in read_tsv(path):
            if row[0] == "op" and len(row) >= 5 and row[1].startswith("startup."):
                inproc.setdefault(size, {}).setdefault(row[1], []).append(float(row[2]))
                own[row[1]] = float(row[2])
        # The start-up against the floor that the same process measured.
        if own.get("startup.floor", 0) > 0 and "startup.inprocess" in own:
            inproc[size].setdefault("startup.floorratio", []).append(
                own["startup.inprocess"] / own["startup.floor"])
    for size, keys in inproc.items():
        for key, values in keys.items():
            if size in ops and key in ops[size]:
                values = values + [ops[size][key][0]]
            ops.setdefault(size, {})[key] = (statistics.median(values), min(values), len(values))
    startup = {}
    for path in glob.glob(os.path.join(results, "startup-*.tsv")):
        for row in read_tsv(path):
            if row[0] == "startup" and len(row) >= 8:
                startup[row[1]] = {
                    "pairs": int(row[2]), "floor": float(row[3]), "program": float(row[4]),
                    "floor_exit": float(row[5]), "program_exit": float(row[6]), "failures": int(row[7]),
                }
                if len(row) >= 12:
                    startup[row[1]].update({
                        "floor_gone": float(row[8]), "program_gone": float(row[9]),
                        "floor_idle": float(row[10]), "program_idle": float(row[11])})
    sets = {}
    for path in glob.glob(os.path.join(results, "sets-*.tsv")):
        count = int(os.path.basename(path)[5:-4])
        sets[count] = {"ops": {}, "checks": {}}
        for row in read_tsv(path):
            if row[0] == "op" and len(row) >= 5:
                sets[count]["ops"][row[1]] = float(row[2])
            elif row[0] == "check" and len(row) >= 3:
                sets[count]["checks"][row[1]] = row[2]
    for path in glob.glob(os.path.join(results, "drive-*.tsv")):
        count = int(os.path.basename(path)[6:-4])
        sets.setdefault(count, {"ops": {}, "checks": {}})
        for row in read_tsv(path):
            if row[0] == "drive" and len(row) >= 5 and int(row[4]) > 0:
                sets[count]["ops"]["drive." + row[1]] = float(row[2])
    return machine, ops, mem, checks, startup, sets


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
    order = ["demo", "demo-cc6", "demo-lib"] + sorted((k for k in startup if k.isdigit()), key=int)
    lines = ["| Installation | floor | pairs | floor visible (ms) | uasedit.exe visible (ms) | ratio "
             "| floor idle (ms) | uasedit idle (ms) | floor close to exit (ms) | uasedit close to exit (ms) "
             "| close ratio |",
             "|---|---|---|---|---|---|---|---|---|---|---|"]
    verdicts = []
    floors = {"demo": "bare", "demo-cc6": "bare + manifest", "demo-lib": "libraries"}
    for label in order:
        if label not in startup:
            continue
        s = startup[label]
        ratio = s["program"] / s["floor"] if s["floor"] > 0 else float("nan")
        close_ratio = s["program_exit"] / s["floor_exit"] if s["floor_exit"] > 0 else float("nan")
        if label == "demo":
            name = "demo installation"
        elif label in ("demo-cc6", "demo-lib"):
            name = "demo installation"
        else:
            name = "%s dimensions" % size_label(int(label))
        lines.append("| %s | %s | %d | %s | %s | %.2f | %s | %s | %s | %s | %.2f |" % (
            name, floors.get(label, "libraries"), s["pairs"], fmt_ms(s["floor"]), fmt_ms(s["program"]),
            ratio, fmt_ms(s.get("floor_idle")), fmt_ms(s.get("program_idle")), fmt_ms(s["floor_exit"]),
            fmt_ms(s["program_exit"]), close_ratio))
        if label == "demo":
            verdicts.append("Start-up on the demo installation: ratio %.2f against the goal %.2f: %s." % (
                ratio, STARTUP_RATIO_GOAL, "met" if ratio <= STARTUP_RATIO_GOAL else "**not met**"))
        if label == "demo-cc6":
            verdicts.append("Against a floor that carries the same Common Controls 6 manifest (the platform "
                            "loads the themed controls for both): ratio %.2f." % ratio)
        if label == "demo-lib":
            verdicts.append("Closing to process end on the demo installation: %s ms against %s ms for the floor "
                            "that loads the editor's libraries and closes as the editor does, ratio %.2f against "
                            "the goal %.1f: %s." % (
                                fmt_ms(s["program_exit"]), fmt_ms(s["floor_exit"]), close_ratio,
                                CLOSE_RATIO_GOAL, "met" if close_ratio <= CLOSE_RATIO_GOAL else "**not met**"))
    big = [k for k in startup if k.isdigit()]
    if big:
        biggest = max(big, key=int)
        ms = startup[biggest]["program"]
        verdicts.append("Start-up with %s dimensions: %s ms against the goal %.0f ms: %s." % (
            size_label(int(biggest)), fmt_ms(ms), STARTUP_BIG_GOAL_MS,
            "met" if ms <= STARTUP_BIG_GOAL_MS else "**not met**"))
        if STARTUP_OUTSIDE_BASE in startup and biggest != STARTUP_OUTSIDE_BASE:
            base = startup[STARTUP_OUTSIDE_BASE]["program"]
            factor = ms / base if base > 0 else float("nan")
            verdicts.append("From outside, %s dimensions start in %s ms against %s ms for %s: x%.2f against the "
                            "goal x%.0f: %s." % (
                                size_label(int(biggest)), fmt_ms(ms), fmt_ms(base),
                                size_label(int(STARTUP_OUTSIDE_BASE)), factor, STARTUP_OUTSIDE_RATIO_GOAL,
                                "met" if factor <= STARTUP_OUTSIDE_RATIO_GOAL else "**not met**"))
    return lines, verdicts


def startup_floor_verdict(ops):
    """In-process start-up at the biggest size against the floor of its data."""
    if not ops:
        return None
    size = max(ops)
    o = ops[size]
    if not all(k in o for k in ("startup.inprocess", "units.parse", "dimlist")):
        return None
    start = o["startup.inprocess"][0]
    floor = o["units.parse"][0] + o["dimlist"][0]
    ratio = start / floor if floor > 0 else float("nan")
    same_run = ("the floor of its data, %s ms (reading and checking the units file %s ms plus filling the "
                "Dimensions list %s ms, same run)" % (fmt_ms(floor), fmt_ms(o["units.parse"][0]),
                                                       fmt_ms(o["dimlist"][0])))
    if "startup.floorratio" in o:
        # Judged against the floor that each start-up's own process measured.
        own = o["startup.floorratio"][0]
        text = ("In-process start-up at %s dimensions: %s ms, median of %d processes. Against the floor of "
                "its data that %d of them measured after their start-up (the units file read and checked "
                "and the Dimensions list filled, medians of three; %s ms in the median): median ratio %.2f "
                "against the goal %.1f: %s. Against %s: ratio %.2f." % (
                    size_label(size), fmt_ms(start), o["startup.inprocess"][2], o["startup.floorratio"][2],
                    fmt_ms(o["startup.floor"][0]), own, STARTUP_FLOOR_RATIO_GOAL,
                    "met" if own <= STARTUP_FLOOR_RATIO_GOAL else "**not met**", same_run, ratio))
    else:
        text = ("In-process start-up at %s dimensions: %s ms against %s: ratio %.2f against the goal %.1f: "
                "%s." % (size_label(size), fmt_ms(start), same_run, ratio, STARTUP_FLOOR_RATIO_GOAL,
                         "met" if ratio <= STARTUP_FLOOR_RATIO_GOAL else "**not met**"))
    smallest = min(ops)
    fixed = ops[smallest].get("startup.window", (None,))[0]
    if smallest != size and fixed is not None:
        rest = start - fixed
        text += (" The main window's own part, as it is with %s dimensions, is %s ms; the rest, %s ms, is "
                 "x%.2f the floor." % (size_label(smallest), fmt_ms(fixed), fmt_ms(rest),
                                       rest / floor if floor > 0 else float("nan")))
    if "catalogue.fresh" in o and "catalogue" in o:
        text += (" Beyond the floor, the dimension catalogue takes %s ms in memory the process has not touched "
                 "before, as at start-up, against %s ms in memory used before" % (
                     fmt_ms(o["catalogue.fresh"][0]), fmt_ms(o["catalogue"][0])))
        if "platform.firsttouch" in o:
            text += "; a page touched for the first time costs %s ms per MB here" % fmt_ms(
                o["platform.firsttouch"][0])
        text += "."
    return text


SET_OPERATIONS = [
    ("sets.floor.list", "Floor: one listing of the folder (FindFirstFileExW)", False),
    ("sets.floor", "Floor: one listing and one fill of a list box of that size", False),
    ("sets.floor.write", "Floor of Save As: a new file written into the folder the safe way (temporary file, renamed)",
     False),
    ("drive.open", "From outside: File > Open until the chosen set is shown", True),
    ("drive.open.dialog", "&nbsp;&nbsp;of which: until the dialog is on screen", False),
    ("drive.browse", "From outside: File > Open, the rows awaited, until the chosen set is shown", False),
    ("drive.browse.listed", "&nbsp;&nbsp;of which: until the rows are in", False),
    ("drive.saveas", "From outside: File > Save As until the new set is shown", True),
    ("drive.saveas.dialog", "&nbsp;&nbsp;of which: until the dialog is on screen", False),
    ("sets.open", "In-process: Open, until the dialog is active", False),
    ("sets.choose", "In-process: Open, a set chosen, read and shown", True),
    ("sets.listed", "In-process: Open, until the rows are in", False),
    ("sets.browse", "In-process: Open, the rows awaited and read, a set chosen, read and shown", False),
    ("sets.saveas", "In-process: Save As, a new name, the set written", True),
    ("sets.delete", "In-process: Delete's dialog, a set chosen", True),
    ("sets.global", "In-process: Global Default's dialog, a set chosen", True),
    ("sets.keystroke", "In-process: one key typed into the name field (median)", False),
    ("sets.keystroke.slowest", "In-process: one key typed into the name field (slowest)", False),
    ("sets.catalogue", "Set catalogue at start-up (UasCreateUasInfoList)", False),
]


def sets_table(sets):
    counts = sorted(sets)
    head = ["Operation"]
    for i, count in enumerate(counts):
        if i:
            head.append("growth")
        head.append("%s sets (ms)" % size_label(count))
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    verdicts = []
    for key, label, judged in SET_OPERATIONS:
        if not any(key in sets[c]["ops"] for c in counts):
            continue
        cells = [label]
        previous = None
        for i, count in enumerate(counts):
            value = sets[count]["ops"].get(key)
            if i:
                if previous and value is not None and previous > 0:
                    factor = value / previous
                    bad = judged and count == counts[i - 1] * 10 and count <= SETS_BIG and \
                        factor > SETS_GROWTH_GOAL
                    cells.append(("**x%.1f**" if bad else "x%.1f") % factor)
                else:
                    cells.append("-")
            cells.append(fmt_ms(value))
            previous = value
        lines.append("| " + " | ".join(cells) + " |")
        ops_small = sets.get(SETS_SMALL, {}).get("ops", {})
        ops_big = sets.get(SETS_BIG, {}).get("ops", {})
        if judged and key in ops_small and key in ops_big and ops_small[key] > 0:
            ratio = ops_big[key] / ops_small[key]
            growth = []
            for a, b in zip(counts, counts[1:]):
                if b == a * 10 and b <= SETS_BIG and key in sets[a]["ops"] and key in sets[b]["ops"] and \
                        sets[a]["ops"][key] > 0:
                    growth.append(sets[b]["ops"][key] / sets[a]["ops"][key])
            worst = max(growth) if growth else float("nan")
            met = ratio <= SETS_RATIO_GOAL and (not growth or worst <= SETS_GROWTH_GOAL)
            floor = ops_big.get("sets.floor")
            verdicts.append("%s: %s ms at %s sets against %s ms at %s (x%.2f, goal x%.0f), largest growth per "
                            "tenfold x%.2f (goal x%.0f)%s: %s." % (
                                label, fmt_ms(ops_big[key]), size_label(SETS_BIG), fmt_ms(ops_small[key]),
                                size_label(SETS_SMALL), ratio, SETS_RATIO_GOAL, worst, SETS_GROWTH_GOAL,
                                "; floor at %s sets %s ms" % (size_label(SETS_BIG), fmt_ms(floor))
                                if floor is not None else "",
                                "met" if met else "**not met**"))
    failed = ["%s at %s" % (k, size_label(c)) for c in counts for k, v in sets[c]["checks"].items()
              if v != "ok"]
    return lines, verdicts, failed


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


def render(machine, ops, mem, checks, startup, sets=None):
    out = ["# Performance", "",
           "Made by `bench/run.sh`; run it again after a change and commit the new page.",
           "", "| | |", "|---|---|",
           "| Date | %s |" % machine.get("date", "?"),
           "| Machine | %s, %s cores |" % (machine.get("cpu", "?"), machine.get("cores", "?")),
           "| Wine | %s |" % machine.get("wine", "?"),
           "| Commit | %s |" % machine.get("commit", "?"), ""]

    out += ["## Start-up and closing against the floor", "",
            "The floors are bare programs that register a class and show a window with eight child",
            "controls: `uasfloor.exe` (bare), `uasfloor6.exe` (with the editor's Common Controls 6",
            "manifest) and `uasfloorlib.exe` (the manifest, the editor's three support libraries and its",
            "common resource library loaded, and the editor's way of closing: `WM_CLOSE` posts the quit",
            "message, the window is destroyed after the message loop). `uaslaunch.exe` starts a floor and",
            "`uasedit.exe` alternately under one warm wineserver, times each from `CreateProcessW` until",
            "its main window is visible and until the program waits for input (`WaitForInputIdle`, the",
            "end of its start), then closes it with `WM_CLOSE` and times until the process has ended.",
            "Closing is timed from that moment: timed from the window's showing, as earlier runs did,",
            "it also held the rest of the editor's start (its icons, the foreground, the first paint),",
            "which is no closing and which the floors do not have.",
            "Medians over the pairs shown (at most %s pairs, or fewer once %s s were spent on an" % (
                machine.get("runs", "?"), machine.get("budget", "?")),
            "installation).", ""]
    if startup:
        lines, verdicts = startup_table(startup)
        floor_verdict = startup_floor_verdict(ops)
        if floor_verdict:
            verdicts.append(floor_verdict)
        out += lines + [""] + ["- " + v for v in verdicts] + [""]
    else:
        out += ["No start-up results.", ""]

    summary = []
    if startup:
        summary += [v for v in startup_table(startup)[1] if v.startswith(("Closing", "From outside"))]
        floor_verdict = startup_floor_verdict(ops)
        if floor_verdict:
            summary.append(floor_verdict)
    if sets:
        summary += sets_table(sets)[1]
        out += ["## The set folder at every size", "",
                "Generated set folders of 100 to 100 000 sets (a department's names: letter cases, blanks,",
                "hyphens, underscores, accented letters; 20 dimensions each). In-process figures by",
                "`uasbench.exe --sets N` with the real main window, the dialog worked as a user works it",
                "(the set's name typed into the name field, OK pressed); from outside by `uasdrive.exe`, which",
                "starts the editor and runs File > Open and File > Save As from another process until the",
                "editor's label names the set. The dialog opens at once and its rows follow from a listing",
                "thread; a name typed and confirmed is looked up on disk, so the user who types does not wait",
                "for the rows. The rows marked \"the rows awaited\" are the user who picks from the list: they",
                "wait until the list is filled (enabled) before typing. The floor is what the data needs at",
                "least: one listing of the folder and one fill of a list box of that size; Save As has its own",
                "(a new file written into the folder). Medians of up to %s runs. **Bold**" %
                machine.get("opruns", "?"),
                "marks a growth above x%.0f per tenfold number of sets, judged up to %s sets." % (
                    SETS_GROWTH_GOAL, size_label(SETS_BIG)), ""]
        lines, verdicts, failed = sets_table(sets)
        out += lines + [""] + ["- " + v for v in verdicts] + [""]
        out += ["Checks made by the harness on each run (the set opened, the file written, the set",
                "returned, the rows and their order, the row chosen by typing): %s." % (
                    "all passed" if not failed else "**failed: " + ", ".join(failed) + "**"), ""]

    out += ["## Operations at every size", "",
            "In-process timings by `uasbench.exe`, one process per size (the units library loads its",
            "data once per process), with the real main window. Generated units libraries:",
            "`DimensionNNNNNN` names, 20 symbols each. Median of up to %s runs (`QueryPerformanceCounter`);" % machine.get("opruns", "?"),
            "an operation that takes many seconds is run once. Growth is the factor from one size to",
            "the next; **bold** marks a growth above its goal (x%.0f per tenfold size, x%.0f from 10 000 to" % (
                GROWTH_PER_TENFOLD_GOAL, GROWTH_LAST_STEP_GOAL),
            "32 767), judged for the program's operations once they take %.0f ms or more." % GROWTH_JUDGED_FROM_MS,
            "The in-process start-up happens once per process: its rows are the median over that process",
            "and further processes that time the start-up alone.", ""]
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

    if summary:
        out += ["## Summary: the set folder, start-up at 32 767 dimensions and closing", "",
                "Each figure against its floor, as judged in the sections above.", ""]
        out += ["- " + v for v in summary] + [""]

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
