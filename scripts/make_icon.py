#!/usr/bin/env python3
"""Builds the program icon (.ico) from its pixel-art source.

The source is a text file of colour definitions and image grids:

    colour K 000000          one character per colour, RRGGBB hex
    colour . transparent     the transparent pixel
    image 32 32 4            width, height, bits per pixel (4 or 8)
    ...one line per pixel row, one character per pixel...
    end

Blank lines and lines starting with '#' are ignored outside images.
A 4-bit image may use only the sixteen colours of the standard desktop
palette, which is written into it as is; an 8-bit image gets every defined
colour in its palette. The images are written in the order of the source.

usage: make_icon.py SOURCE OUTPUT.ico
"""

import struct
import sys

# The standard 16-colour palette, in the order that 4-bit images use.
STANDARD16 = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]

TRANSPARENT = None


class SourceError(Exception):
    pass


def parse(text):
    colours = {}
    images = []
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        raw = lines[i]
        line = raw.strip()
        i += 1
        if not line or line.startswith('#'):
            continue
        words = line.split()
        if words[0] == 'colour' and len(words) == 3 and len(words[1]) == 1:
            key, value = words[1], words[2]
            if key in colours:
                raise SourceError(f'line {i}: colour {key!r} defined twice')
            if value == 'transparent':
                colours[key] = TRANSPARENT
            else:
                try:
                    colours[key] = int(value, 16)
                except ValueError:
                    raise SourceError(f'line {i}: bad colour value {value!r}') from None
                if len(value) != 6:
                    raise SourceError(f'line {i}: colour must be RRGGBB')
        elif words[0] == 'image' and len(words) == 4:
            width, height, bits = (int(w) for w in words[1:])
            if bits not in (4, 8) or not (0 < width <= 256 and 0 < height <= 256):
                raise SourceError(f'line {i}: unsupported image {width}x{height}x{bits}')
            rows = []
            while i < len(lines) and lines[i].strip() != 'end':
                rows.append(lines[i].rstrip())
                i += 1
            if i == len(lines):
                raise SourceError('image without end')
            i += 1
            if len(rows) != height:
                raise SourceError(f'image {width}x{height}: {len(rows)} rows')
            for n, row in enumerate(rows):
                if len(row) != width:
                    raise SourceError(f'image {width}x{height}, row {n}: {len(row)} pixels')
                for ch in row:
                    if ch not in colours:
                        raise SourceError(f'image {width}x{height}, row {n}: unknown colour {ch!r}')
            images.append((width, height, bits, rows))
        else:
            raise SourceError(f'line {i}: cannot read {raw!r}')
    if not images:
        raise SourceError('no images')
    return colours, images


def palette_for(bits, colours, rows):
    """The image's palette (list of RGB) and the index of each colour key."""
    used = {ch for row in rows for ch in row if colours[ch] is not TRANSPARENT}
    if bits == 4:
        index = {}
        for ch in used:
            if colours[ch] not in STANDARD16:
                raise SourceError(f'colour {ch!r} is not a standard 16-colour value')
            index[ch] = STANDARD16.index(colours[ch])
        return STANDARD16, index
    palette = list(STANDARD16)
    index = {}
    for ch in sorted(used):
        rgb = colours[ch]
        if rgb not in palette:
            palette.append(rgb)
        index[ch] = palette.index(rgb)
    if len(palette) > 256:
        raise SourceError('more than 256 colours')
    return palette + [0] * (256 - len(palette)), index


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def dib(width, height, bits, rows, colours):
    palette, index = palette_for(bits, colours, rows)
    xor_stride = row_bytes(width * bits)
    and_stride = row_bytes(width)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as device-independent bitmaps are
        line = bytearray(xor_stride)
        bitsrow = bytearray(and_stride)
        for x, ch in enumerate(row):
            transparent = colours[ch] is TRANSPARENT
            value = 0 if transparent else index[ch]
            if bits == 8:
                line[x] = value
            elif x % 2 == 0:
                line[x // 2] |= value << 4
            else:
                line[x // 2] |= value
            if transparent:
                bitsrow[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bitsrow
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    table = b''.join(struct.pack('<BBBB', rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16, 0)
                     for rgb in palette)
    return header + table + bytes(xor) + bytes(mask)


def build(text):
    colours, images = parse(text)
    blobs = [(w, h, b, dib(w, h, b, rows, colours)) for w, h, b, rows in images]
    out = bytearray(struct.pack('<HHH', 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for w, h, b, blob in blobs:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 16 if b == 4 else 0, 0, 1, b,
                           len(blob), offset)
        offset += len(blob)
    for _, _, _, blob in blobs:
        out += blob
    return bytes(out)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__.split('\n\n')[-1] + '\n')
        return 2
    with open(argv[1], encoding='utf-8') as f:
        text = f.read()
    try:
        data = build(text)
    except SourceError as e:
        sys.stderr.write(f'{argv[1]}: {e}\n')
        return 1
    with open(argv[2], 'wb') as f:
        f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
