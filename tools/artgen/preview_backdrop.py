#!/usr/bin/env python3
"""Shows the header and group pictures on the backdrop's stripe.

usage: preview_backdrop.py <art-folder> <out.png> [screen-height] [zoom]

The stripe is 150 pixels of RGB(0x20, 0x08, 0x68); the header picture sits
at (10, 10); the group picture at (15, height - 180) after a side-on flood
from (1, 1) over its key colour RGB(0, 128, 128), as the installer paints
them. Needs ImageMagick's convert for the PNG.
"""
import os
import struct
import subprocess
import sys
import tempfile

STRIPE = (0x20, 0x08, 0x68)
KEY = (0x00, 0x80, 0x80)


def read_bmp(path):
    data = open(path, "rb").read()
    bits = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bpp = struct.unpack_from("<H", data, 28)[0]
    table = [(data[56 + 4 * i], data[55 + 4 * i], data[54 + 4 * i])
             for i in range(1 << bpp)]
    stride = ((width * bpp + 31) // 32) * 4
    rows = []
    for y in range(height):
        row = data[bits + (height - 1 - y) * stride:]
        pixels = []
        for x in range(width):
            bit = x * bpp
            value = (row[bit // 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1)
            pixels.append(table[value])
        rows.append(pixels)
    return width, height, rows


def flood(rows, width, height):
    if rows[1][1] != KEY:
        return
    stack = [(1, 1)]
    rows[1][1] = STRIPE
    while stack:
        x, y = stack.pop()
        for qx, qy in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
            if 0 <= qx < width and 0 <= qy < height and rows[qy][qx] == KEY:
                rows[qy][qx] = STRIPE
                stack.append((qx, qy))


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, out = sys.argv[1], sys.argv[2]
    screen = int(sys.argv[3]) if len(sys.argv) > 3 else 480
    zoom = int(sys.argv[4]) if len(sys.argv) > 4 else 2
    image = [[STRIPE] * 150 for _ in range(screen)]
    hw, hh, header = read_bmp(os.path.join(folder, "header.bmp"))
    for y in range(hh):
        image[10 + y][10:10 + hw] = header[y]
    gw, gh, group = read_bmp(os.path.join(folder, "group.bmp"))
    flood(group, gw, gh)
    for y in range(gh):
        image[screen - 180 + y][15:15 + gw] = group[y]
    with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as ppm:
        ppm.write(b"P6 150 %d 255\n" % screen)
        for row in image:
            ppm.write(b"".join(bytes(c) for c in row))
    try:
        subprocess.run(["convert", ppm.name, "-filter", "point", "-resize",
                        "%d%%" % (100 * zoom), out], check=True)
    finally:
        os.unlink(ppm.name)


if __name__ == "__main__":
    main()
