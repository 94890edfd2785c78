#!/usr/bin/env python3
"""Generated installations for the benchmark: for each size, a units library
of that many dimensions (DimensionNNNNNN, 20 unit symbols each), a profile
that names it, and an empty set folder; for each number of sets, a small
units library and a set folder holding that many sets. The resource
libraries and the help text are the build's own.

    prepare.py OUT_DIR BUILD_DIR SIZE...
    prepare.py --sets OUT_DIR BUILD_DIR COUNT...

The first form writes OUT_DIR/SIZE/{units.txt,kalvex.ini,sets/}, the second
OUT_DIR/sets-COUNT/{units.txt,kalvex.ini,sets/}; each prints, per size or
count, the Windows path of its profile.
"""
import os
import sys

SYMBOLS_PER_DIMENSION = 20
# The units library refuses files above 4 MiB; the biggest size must fit.
UNITS_FILE_MAX_BYTES = 4 << 20
MAX_DIMENSIONS = 32767


def windows_path(path):
    """The path as a Wine program sees it (the Unix root is drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def dimension_name(i):
    return "Dimension%06d" % i


def units_text(size):
    if not 1 <= size <= MAX_DIMENSIONS:
        raise ValueError("size %d outside 1..%d" % (size, MAX_DIMENSIONS))
    symbols = " ".join("u%02d" % k for k in range(1, SYMBOLS_PER_DIMENSION + 1))
    lines = ["# Generated for the benchmark: %d dimensions" % size]
    lines += ["%s %s" % (dimension_name(i), symbols) for i in range(1, size + 1)]
    text = "\r\n".join(lines) + "\r\n"
    if len(text.encode("utf-8")) > UNITS_FILE_MAX_BYTES:
        raise ValueError("units file for %d dimensions exceeds the library's limit" % size)
    return text


def profile_text(root, build_dir):
    data = os.path.join(build_dir, "data")
    values = [
        ("Kalvex_Section", [
            ("Root_Dir", windows_path(root)),
            ("Resource_Binary_Dir", windows_path(os.path.join(build_dir, "res"))),
            ("Units_File", windows_path(os.path.join(root, "units.txt"))),
            ("Set_Dir", windows_path(os.path.join(root, "sets"))),
            ("Help_Dir", windows_path(os.path.join(data, "help"))),
            ("Allowed_Users", ""),
        ]),
        ("VelWin_Section", [("Language", "English")]),
    ]
    out = []
    for section, keys in values:
        out.append("[%s]" % section)
        out += ["%s=%s" % (k, v) for k, v in keys]
    return "\r\n".join(out) + "\r\n"


def prepare(out_dir, build_dir, size):
    root = os.path.join(out_dir, str(size))
    sets = os.path.join(root, "sets")
    os.makedirs(sets, exist_ok=True)
    for name in os.listdir(sets):
        os.remove(os.path.join(sets, name))
    with open(os.path.join(root, "units.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(units_text(size))
    profile = os.path.join(root, "kalvex.ini")
    with open(profile, "w", encoding="utf-8", newline="") as f:
        f.write(profile_text(root, build_dir))
    return windows_path(profile)


# The set folders: a department's names, with letter cases, blanks, hyphens,
# underscores and accented letters mixed, so that sorting without regard to
# case and the list box's own order both have work to do.
SET_PREFIXES = ["Plant A", "plant b", "Crude-Unit", "crude_unit", "Crude Unit", "S\u00fcd", "Nord",
                "\u00c9tage", "Test", "test 2", "Z-Area", "\u00d6lraffinerie", "Pr\u00fcfstand",
                "HX (old)", "Revamp 2024", "area-51"]
SET_DIMENSIONS = 20
RULE = "-" * 70


def set_name(i):
    return "%s %06d" % (SET_PREFIXES[i % len(SET_PREFIXES)], i)


def set_file_bytes(name, dims):
    """A set as the editor writes it: header, then every dimension at its
    first symbol."""
    lines = ["* " + RULE, "* " + name, "* " + name + ".uas", "*", "*    Generated for the benchmark.",
             "*", "* " + RULE]
    lines += [dim + " " * (32 - len(dim)) + "u01" for dim in dims]
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def prepare_sets(out_dir, build_dir, count):
    root = os.path.join(out_dir, "sets-%d" % count)
    sets = os.path.join(root, "sets")
    os.makedirs(sets, exist_ok=True)
    wanted = {set_name(i) + ".uas" for i in range(count)}
    for name in os.listdir(sets):
        if name not in wanted:
            os.remove(os.path.join(sets, name))
    dims = [dimension_name(i) for i in range(1, SET_DIMENSIONS + 1)]
    for i in range(count):
        path = os.path.join(sets, set_name(i) + ".uas")
        data = set_file_bytes(set_name(i), dims)
        # A folder left by an earlier run is kept as far as it is right.
        if os.path.exists(path) and os.path.getsize(path) == len(data):
            continue
        with open(path, "wb") as f:
            f.write(data)
    with open(os.path.join(root, "units.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(units_text(SET_DIMENSIONS))
    profile = os.path.join(root, "kalvex.ini")
    with open(profile, "w", encoding="utf-8", newline="") as f:
        f.write(profile_text(root, build_dir))
    return windows_path(profile)


def main(argv):
    sets = len(argv) > 1 and argv[1] == "--sets"
    if sets:
        argv = argv[1:]
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    for size in argv[3:]:
        make = prepare_sets if sets else prepare
        print("%s\t%s" % (size, make(argv[1], argv[2], int(size))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
