#!/usr/bin/env python3
"""Writes snapory.ico: a 32x32 32-bit camera lens on a rounded blue tile.
Run again after changing the drawing; the .ico is committed beside it."""
import math
import struct
import sys

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    d = math.hypot(x - cx, y - cy)
    corner = max(abs(x - cx), abs(y - cy))
    if corner > 15.2:
        return (0, 0, 0, 0)
    if d < 4:
        return (250, 250, 255, 255)      # highlight
    if d < 8:
        return (40, 40, 60, 255)         # lens
    if d < 10:
        return (200, 210, 230, 255)      # ring
    return (30, 110, 200, 255)           # tile


def main(path):
    rows = []
    for y in reversed(range(SIZE)):       # bottom-up rows
        for x in range(SIZE):
            r, g, b, a = pixel(x, y)
            rows.append(struct.pack('<BBBB', b, g, r, a))
    xor = b''.join(rows)
    and_mask = b'\0' * (SIZE * 4)         # 32 px per row, 4 bytes
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icon_dir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(icon_dir + entry + image)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'snapory.ico')
