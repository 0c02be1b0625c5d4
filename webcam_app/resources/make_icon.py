#!/usr/bin/env python3
"""Writes orvane.ico: a 32x32 32-bit picture frame with a sparkle, on a
rounded violet tile. Run again after changing the drawing; the .ico is
committed beside it."""
import math
import struct
import sys

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    corner = max(abs(x - cx), abs(y - cy))
    if corner > 15.2:
        return (0, 0, 0, 0)
    # A four-pointed star in the middle of the frame.
    dx, dy = abs(x - cx), abs(y - cy)
    if dx * dy < 3.0 and dx + dy < 8:
        return (255, 240, 120, 255)
    if 8.5 < corner < 12.5:
        return (240, 190, 90, 255)        # gilded frame
    if corner <= 8.5:
        return (60, 40, 110, 255)         # picture
    return (120, 70, 190, 255)            # tile


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
    main(sys.argv[1] if len(sys.argv) > 1 else 'orvane.ico')
