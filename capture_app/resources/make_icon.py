#!/usr/bin/env python3
"""Writes snapory.ico: a 32x32 32-bit camera lens on a rounded blue tile.
Run again after changing the drawing; the .ico is committed beside it."""
import math
import os
import sys

sys.dont_write_bytecode = True  # keep the source folders clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import asset_files  # noqa: E402

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
    asset_files.write_icon(path, pixel, SIZE)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'snapory.ico')
