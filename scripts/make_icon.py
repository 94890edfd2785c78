#!/usr/bin/env python3
"""Builds the program icon (.ico) from its pixel-art source.

The source is a text file of colour definitions, image grids and at most
one drawing:

    colour K 000000          one character per colour, RRGGBB hex
    colour . transparent     the transparent pixel
    image 32 32 4            width, height, bits per pixel (4 or 8)
    ...one line per pixel row, one character per pixel...
    end
    drawing                  the same picture as shapes, for other sizes
    rect K 0 20 32 30        x0 y0 x1 y1
    disc K 16 18 2           centre x y, radius
    sector a 16 18 8 13 0 90 centre x y, radii r0 r1, angles a0 a1
    poly n 16 17 22 12 17 19 corners x y ...
    end

Blank lines and lines starting with '#' are ignored outside images.
A 4-bit image may use only the sixteen colours of the standard desktop
palette, which is written into it as is; an 8-bit image gets every defined
colour in its palette.

The drawing's shapes are painted in their order, each over the ones before,
in the units of a 32-pixel image: (0, 0) is its top-left corner, (32, 32)
its bottom-right one. A sector is the part of the ring between the two
radii from angle a0 to a1, in degrees counted counter-clockwise from the
right, as on a dial. A drawing is painted at a size with its edges
smoothed (32 bits with transparency; at 256 pixels stored as PNG).

Without sizes, the icon holds the source's images in the order of the
source. With sizes, it holds them and then the drawing painted at each size
that no image of the source has: the small sizes keep their hand-set
pixels, the others follow the drawing.

usage: make_icon.py SOURCE OUTPUT.ico [SIZE...]
"""

import math
import struct
import sys
import zlib

# The standard 16-colour palette, in the order that 4-bit images use.
STANDARD16 = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]

TRANSPARENT = None


class SourceError(Exception):
    pass


SHAPES = {'rect': 4, 'disc': 3, 'sector': 6, 'poly': None}


def parse_shape(words, colours, number):
    kind, key, values = words[0], words[1], words[2:]
    if key not in colours or colours[key] is TRANSPARENT:
        raise SourceError(f'line {number}: {kind} needs a defined colour, not {key!r}')
    try:
        numbers = [float(v) for v in values]
    except ValueError:
        raise SourceError(f'line {number}: {kind} takes numbers') from None
    wanted = SHAPES[kind]
    if wanted is None and (len(numbers) < 6 or len(numbers) % 2):
        raise SourceError(f'line {number}: poly takes three or more corners')
    if wanted is not None and len(numbers) != wanted:
        raise SourceError(f'line {number}: {kind} takes {wanted} numbers')
    return kind, key, numbers


def parse(text):
    colours = {}
    images = []
    drawing = None
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
        elif words[0] == 'drawing' and len(words) == 1:
            if drawing is not None:
                raise SourceError(f'line {i}: a second drawing')
            drawing = []
            while i < len(lines) and lines[i].strip() != 'end':
                shape = lines[i].split()
                i += 1
                if not shape or shape[0].startswith('#'):
                    continue
                if shape[0] not in SHAPES or len(shape) < 3:
                    raise SourceError(f'line {i}: cannot read shape {lines[i - 1].strip()!r}')
                drawing.append(parse_shape(shape, colours, i))
            if i == len(lines):
                raise SourceError('drawing without end')
            i += 1
            if not drawing:
                raise SourceError('empty drawing')
        else:
            raise SourceError(f'line {i}: cannot read {raw!r}')
    if not images:
        raise SourceError('no images')
    return colours, images, drawing


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


# Samples per pixel and direction when a drawing is painted: enough for
# smooth edges, few enough that the 256-pixel image takes a second or two.
SAMPLES = 4


def row_spans(shape, y):
    """The x ranges that the shape covers on the line y (design units)."""
    kind, _, v = shape
    if kind == 'rect':
        x0, y0, x1, y1 = v
        return [(x0, x1)] if y0 <= y < y1 else []
    if kind == 'disc':
        cx, cy, r = v
        dy = y - cy
        if abs(dy) >= r:
            return []
        half = math.sqrt(r * r - dy * dy)
        return [(cx - half, cx + half)]
    if kind == 'sector':
        cx, cy, r0, r1 = v[:4]
        dy = y - cy
        if abs(dy) >= r1:
            return []
        outer = math.sqrt(r1 * r1 - dy * dy)
        if abs(dy) >= r0:
            return [(cx - outer, cx + outer)]
        inner = math.sqrt(r0 * r0 - dy * dy)
        return [(cx - outer, cx - inner), (cx + inner, cx + outer)]
    # A polygon, even-odd: where its edges cross the line.
    points = list(zip(v[0::2], v[1::2]))
    crossings = []
    for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
        if (ya <= y < yb) or (yb <= y < ya):
            crossings.append(xa + (y - ya) * (xb - xa) / (yb - ya))
    crossings.sort()
    return list(zip(crossings[0::2], crossings[1::2]))


def in_angles(shape, x, y):
    if shape[0] != 'sector':
        return True
    cx, cy, _, _, a0, a1 = shape[2]
    angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
    low, high = a0 % 360, a1 % 360
    if high == low and a1 != a0:
        return True
    return low <= angle <= high if low <= high else angle >= low or angle <= high


def paint(drawing, colours, size):
    """The drawing at size x size pixels: rows of (r, g, b, a), top row first."""
    n = size * SAMPLES
    unit = 32.0 / n  # design units per sample
    samples = [[None] * n for _ in range(n)]
    for shape in drawing:
        rgb = colours[shape[1]]
        for sy in range(n):
            y = (sy + 0.5) * unit
            row = samples[sy]
            for left, right in row_spans(shape, y):
                first = max(0, math.ceil(left / unit - 0.5))
                last = min(n - 1, math.floor(right / unit - 0.5))
                for sx in range(first, last + 1):
                    if in_angles(shape, (sx + 0.5) * unit, y):
                        row[sx] = rgb
    pixels = []
    for py in range(size):
        line = []
        for px in range(size):
            r = g = b = count = 0
            for sy in range(py * SAMPLES, (py + 1) * SAMPLES):
                for rgb in samples[sy][px * SAMPLES:(px + 1) * SAMPLES]:
                    if rgb is not None:
                        r += rgb >> 16
                        g += (rgb >> 8) & 0xFF
                        b += rgb & 0xFF
                        count += 1
            if count:
                line.append((round(r / count), round(g / count), round(b / count),
                             round(255 * count / (SAMPLES * SAMPLES))))
            else:
                line.append((0, 0, 0, 0))
        pixels.append(line)
    return pixels


def dib32(pixels):
    size = len(pixels)
    xor = bytearray()
    mask = bytearray()
    and_stride = row_bytes(size)
    for line in reversed(pixels):  # bottom-up
        bitsrow = bytearray(and_stride)
        for x, (r, g, b, a) in enumerate(line):
            xor += bytes((b, g, r, a))
            if a == 0:
                bitsrow[x // 8] |= 0x80 >> (x % 8)
        mask += bitsrow
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png(pixels):
    size = len(pixels)
    raw = b''.join(b'\0' + bytes(v for p in line for v in p) for line in pixels)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def build(text, sizes=()):
    colours, images, drawing = parse(text)
    blobs = [(w, h, b, dib(w, h, b, rows, colours)) for w, h, b, rows in images]
    drawn = sorted(set(sizes) - {w for w, h, _, _ in images if w == h})
    if drawn and drawing is None:
        raise SourceError(f'no image and no drawing for the sizes {drawn}')
    for size in drawn:
        if not 0 < size <= 256:
            raise SourceError(f'size {size}: an icon holds 1 to 256 pixels')
        pixels = paint(drawing, colours, size)
        blobs.append((size, size, 32, png(pixels) if size == 256 else dib32(pixels)))
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
    if len(argv) < 3 or not all(a.isdigit() for a in argv[3:]):
        sys.stderr.write(__doc__.split('\n\n')[-1] + '\n')
        return 2
    with open(argv[1], encoding='utf-8') as f:
        text = f.read()
    try:
        data = build(text, [int(a) for a in argv[3:]])
    except SourceError as e:
        sys.stderr.write(f'{argv[1]}: {e}\n')
        return 1
    with open(argv[2], 'wb') as f:
        f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
