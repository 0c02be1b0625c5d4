#!/usr/bin/env python3
"""Composes the skin the way the capture window paints it, at a chosen client
size, into a BMP: for judging the look without running the program.
Usage: preview_skin.py PROGRAM_DIR WIDTH HEIGHT OUT.bmp [STATE]
STATE (H, U, D or X) picks the buttons' picture; U by default."""
import os
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from skin import bmp_file, frame  # noqa: E402

PREVIEW = (40, 44, 52)


def load(skin, name):
    with open(os.path.join(skin, *name.split("\\")), "rb") as f:
        return bmp_file.decode(f.read())


def blit(canvas, piece, x, y):
    w, h, rows = piece
    for j in range(h):
        for i in range(w):
            if 0 <= y + j < len(canvas) and 0 <= x + i < len(canvas[0]):
                canvas[y + j][x + i] = rows[j][i]


def tile(canvas, piece, start, end, fixed, along_x):
    for p in range(start, end, 2):
        blit(canvas, piece, p, fixed) if along_x else blit(canvas, piece, fixed, p)


def compose(skin, R, B, state):
    M = R // 2
    c = [[PREVIEW] * R for _ in range(B)]
    blit(c, load(skin, r"top\TopLeft.BMP"), 0, 0)
    tile(c, load(skin, r"top\TopCenter.BMP"), 295, R - 70, 0, True)
    blit(c, load(skin, r"top\TopRight.BMP"), R - 70, 0)
    blit(c, load(skin, r"top\About.BMP"), 21, 0)
    tile(c, load(skin, r"center\CenterLeft2.BMP"), 36, B - 93, 0, False)
    tile(c, load(skin, r"center\CenterRight2.BMP"), 36, B - 93, R - 21, False)
    y = B - 94
    bl = lambda n, x: blit(c, load(skin, "bottom\\" + n + ".BMP"), x, y)  # noqa: E731
    tl = lambda n, a, b: tile(c, load(skin, "bottom\\" + n + ".BMP"), a, b, y, True)  # noqa: E731
    narrow = R < 561
    if narrow:
        bl("BottomLeft11", 0); bl("BottomLeft2", 20); bl("BottomCenter2", M - 103)
        tl("BottomFill2", 108, M - 103); tl("BottomFill2", M + 102, R - 111)
        bl("BottomRight1", R - 25); bl("BottomRight2", R - 111)
    else:
        bl("BottomLeft11", 0); bl("BottomLeft2", M - 274); tl("BottomFill1", 20, M - 274)
        bl("BottomRight1", R - 25); bl("BottomRight2", M + 186); tl("BottomFill1", M + 280, R - 25)
        bl("BottomCenter1", M - 150); tl("BottomFill2", M - 186, M - 150); tl("BottomFill2", M + 138, M + 186)
    bl("Effect", 0)
    places = {"Help": (R - 67, 7), "Min": (R - 49, 7), "Close": (R - 29, 8), "Effect": (21, B - 94),
              "Browse": (M - 150, B - 48), "Record": (M - 101, B - 48), "Snap": (M - 25, B - 60),
              "AutoSnap": (M + 22, B - 48), "Setup": (M + 112, B - 48), "Popup": (R - 30, B - 28)}
    for name, (x, yy) in places.items():
        if narrow and name in ("Browse", "Setup"):
            continue
        blit(c, load(skin, name + state + ".BMP"), x, yy)
    # The rounded window region: what falls outside shows the desktop.
    for j in range(B):
        for i in range(R):
            if not frame.inside_region(i, j, R, B):
                c[j][i] = (255, 255, 255)
    return c


def main():
    program, width, height, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    state = sys.argv[5] if len(sys.argv) > 5 else "U"
    rows = compose(os.path.join(program, "Skin"), width, height, state)
    with open(out, "wb") as f:
        f.write(bmp_file.encode(width, height, rows))


if __name__ == "__main__":
    main()
