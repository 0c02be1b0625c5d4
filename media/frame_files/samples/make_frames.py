#!/usr/bin/env python3
"""Draws the sample frame files: picture frames (BMP), animated frames (GIF)
and Flash frames (SWF), all 320 x 240.
Usage: make_frames.py OUTPUT_DIR   (writes the files)
       make_frames.py --list       (their names, one a line)"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "scripts"))

import animated_frames as anim  # noqa: E402
import file_formats as ff  # noqa: E402
import still_frames as still  # noqa: E402
from asset_files import run, write  # noqa: E402
from drawing import H, W  # noqa: E402

FILES = {
    "wood.bmp": lambda: ff.bmp24(W, H, still.keyed(still.render(still.wood))),
    "filmstrip.bmp": lambda: ff.bmp24(W, H, still.keyed(still.render(still.film_strip))),
    "hearts.bmp": lambda: ff.bmp24(W, H, still.keyed(still.render(still.hearts))),
    "stars.bmp": lambda: ff.bmp24(W, H, still.keyed(still.render(still.star_corners))),
    "polka.bmp": lambda: ff.bmp8(W, H, still.render(still.polka), still.POLKA_COLOURS),
    "postcard.bmp": lambda: ff.bmp32(W, H, still.render(still.postcard)),
    "snow.bmp": lambda: ff.bmp32(W, H, still.render(still.snow), bitfields=True),
    "twinkle.gif": anim.twinkle,
    "snowfall.gif": anim.snowfall,
    "bubbles.gif": anim.bubbles,
    "sun.gif": anim.sun,
    "balloons.swf": anim.balloons,
    "butterflies.swf": anim.butterflies,
}


def write_all(out):
    for name, make in FILES.items():
        write(os.path.join(out, name), make())


if __name__ == "__main__":
    run(__doc__, lambda: FILES, write_all)
