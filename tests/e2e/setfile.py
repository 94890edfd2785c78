#!/usr/bin/env python3
"""Writes the bytes that the editor is expected to store for a set, built
independently of the program from the units file the test installed.

    setfile.py UNITS OUT NAME BASENAME DESCRIPTION [DIMENSION=SYMBOL ...]
    setfile.py --check FOLDER

The second form checks this builder against the fixed bytes in FOLDER
(tests/common/setfile_fixed.uas), the bytes that the C++ tests' builder
(tests/common/setfiletext.h) is checked against too.

DESCRIPTION is the text as typed into the description field, with a LF for
each Return key; the field holds CR LF there. Every dimension not named
keeps its first symbol.
"""
import os
import sys

RULE = "-" * 70
WIDTH = 70


def read_units(path):
    dims = []
    with open(path, encoding="utf-8-sig") as f:
        for line in f:
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            dims.append((words[0], words[1:]))
    return dims


def stored_description(typed):
    text = typed.replace("\n", "\r\n").strip(" \t\r\n")
    return text.replace("\r\n", " ")


def wrapped(text):
    pieces = []
    pos = 0
    while len(text) - pos > WIDTH:
        n = WIDTH
        for k in range(WIDTH, 0, -1):
            if text[pos + k] == " ":
                n = k
                break
        pieces.append(text[pos:pos + n])
        pos += n
    if pos < len(text):
        pieces.append(text[pos:])
    return pieces


def set_file(dims, name, base, typed, chosen):
    lines = ["* " + RULE, "* " + name, "* " + base, "*"]
    lines += ["*    " + piece for piece in wrapped(stored_description(typed))]
    lines += ["*", "* " + RULE]
    for dim, symbols in dims:
        symbol = chosen.get(dim, symbols[0])
        if symbol not in symbols:
            raise SystemExit("%s is not a symbol of %s" % (symbol, dim))
        lines.append(dim + " " * (32 - len(dim)) + symbol)
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


# The fixed case: wrapping before a space, a hard cut inside a long path, two
# paragraphs, a name that fills the symbol column, units left at the first.
FIXED_DESCRIPTION = (
    "Heat exchanger rating for the revamp study: the duty is checked against data sheet "
    "E-101 at design flow, fouling margin 15 %. Source: "
    "Z:\\projects\\revamp-2024\\exchangers\\E-101\\vendor-data-sheet-rev-C-final.pdf"
    "\n\nSecond paragraph.")
FIXED_UNITS = {"Temperature": "degR", "Pressure": "psi",
               "OverallHeatTransferCoefficientU": "kW/(m2*K)", "Fraction": "%"}


def check(folder):
    dims = read_units(os.path.join(folder, "setfile_fixed_units.txt"))
    built = set_file(dims, "Revamp", "Revamp.uas", FIXED_DESCRIPTION, FIXED_UNITS)
    with open(os.path.join(folder, "setfile_fixed.uas"), "rb") as f:
        fixed = f.read()
    if built != fixed:
        print("the builder differs from the fixed bytes:\nbuilt:\n%r\nfixed:\n%r" % (built, fixed))
        return 1
    print("the builder gives the fixed bytes (%d)" % len(fixed))
    return 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        sys.exit(check(argv[2]))
    if len(argv) < 6:
        raise SystemExit(__doc__)
    units, out, name, base, typed = argv[1:6]
    dims = read_units(units)
    chosen = {}
    for pair in argv[6:]:
        dim, _, symbol = pair.partition("=")
        if dim not in (d for d, _ in dims):
            raise SystemExit("no dimension " + dim)
        chosen[dim] = symbol
    with open(out, "wb") as f:
        f.write(set_file(dims, name, base, typed, chosen))


if __name__ == "__main__":
    main(sys.argv)
