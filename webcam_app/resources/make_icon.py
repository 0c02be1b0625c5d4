#!/usr/bin/env python3
"""Writes orvane.ico: a 32x32 32-bit picture frame with a sparkle, on a
rounded violet tile. Run again after changing the drawing; the .ico is
committed beside it."""
import os
import sys

sys.dont_write_bytecode = True  # keep the source folders clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import asset_files  # noqa: E402

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
    asset_files.write_icon(path, pixel, SIZE)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'orvane.ico')
