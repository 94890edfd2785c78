#!/usr/bin/env python3
"""Compares the icons a window manager got for a window (_NET_WM_ICON, as
xprop prints it) with the images of the program's icon file.

    icon_check.py ICON_FILE XPROP_OUTPUT_FILE

Passes (exit 0) when the property holds a 32x32 and a 16x16 image and each
is, pixel for pixel, one of the icon file's images of that size: the
program's icon, not the platform's default one. Prints what it found."""
import re
import struct
import sys


def ico_images(data):
    """{(width, height): [list of ARGB pixel lists, top row first]}"""
    _, _, count = struct.unpack_from('<HHH', data, 0)
    images = {}
    for i in range(count):
        _, _, _, _, _, _, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        header = struct.unpack_from('<IiiHHIIiiII', data, offset)
        width, height, bits, used = header[1], header[2] // 2, header[4], header[9]
        colours = used or (1 << bits)
        table_at = offset + header[0]
        palette = [struct.unpack_from('<BBBB', data, table_at + 4 * c) for c in range(colours)]
        xor_at = table_at + 4 * colours
        xor_stride = (width * bits + 31) // 32 * 4
        and_at = xor_at + xor_stride * height
        and_stride = (width + 31) // 32 * 4
        pixels = []
        for y in range(height - 1, -1, -1):  # bottom-up rows
            for x in range(width):
                if bits == 8:
                    index = data[xor_at + y * xor_stride + x]
                else:
                    byte = data[xor_at + y * xor_stride + x // 2]
                    index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                transparent = data[and_at + y * and_stride + x // 8] & (0x80 >> (x % 8))
                b, g, r, _ = palette[index]
                pixels.append(0 if transparent else 0xFF000000 | r << 16 | g << 8 | b)
        images.setdefault((width, height), []).append(pixels)
    return images


def property_images(text):
    values = [int(v) for v in re.findall(r'\d+', text.split('=', 1)[1])] if '=' in text else []
    images = {}
    at = 0
    while at + 2 <= len(values):
        width, height = values[at], values[at + 1]
        pixels = values[at + 2:at + 2 + width * height]
        at += 2 + width * height
        # Fully transparent pixels may carry any colour.
        images[(width, height)] = [p if p >> 24 else 0 for p in pixels]
    return images


def main(argv):
    with open(argv[1], 'rb') as f:
        ours = ico_images(f.read())
    with open(argv[2]) as f:
        theirs = property_images(f.read())
    print('icon file: %s; _NET_WM_ICON: %s' % (sorted(ours), sorted(theirs)))
    ok = True
    for size in ((32, 32), (16, 16)):
        if size not in theirs:
            print('no %dx%d image in _NET_WM_ICON' % size)
            ok = False
        elif theirs[size] not in ours.get(size, []):
            print('the %dx%d image of _NET_WM_ICON is not the program icon' % size)
            ok = False
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
