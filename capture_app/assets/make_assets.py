#!/usr/bin/env python3
"""Writes the data that lies beside Snapory.exe: the skin bitmaps, the
interface texts (English, and Chinese in the GBK code page) and the help
page. Usage: make_assets.py OUTPUT_DIR  (the program's folder)
             make_assets.py --list      (the files it writes, one a line)"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

from asset_files import run, write, write_texts_and_help  # noqa: E402
from skin import bmp_file, buttons, frame, pieces  # noqa: E402

HELP_PAGE = "\u4ea7\u54c1\u7b80\u4ecb.htm"  # 产品简介.htm


def skin_names():
    """Every skin bitmap's path below the skin folder, with backslashes."""
    return [piece[0] for piece in pieces.FRAME_PIECES] + [
        name + state + ".BMP" for name in buttons.BUTTONS for state in buttons.STATES]


def skin_files():
    """(path below the skin folder, BMP bytes) for every skin bitmap."""
    for name, width, height, left, top in pieces.FRAME_PIECES:
        cv = pieces.render(name, width, height, left, top, frame.colour_at)
        yield name, bmp_file.encode(width, height, cv.rgb_rows())
    for name in buttons.BUTTONS:
        for state in buttons.STATES:
            cv = buttons.render(name, state, frame.colour_at)
            yield name + state + ".BMP", bmp_file.encode(cv.width, cv.height, cv.rgb_rows())


def output_names():
    return (["Skin/" + n.replace("\\", "/") for n in skin_names()]
            + ["Resource.ini", "Resource.zh-CN.ini", "Help/" + HELP_PAGE])


def write_all(out):
    for name, data in skin_files():
        write(os.path.join(out, "Skin", *name.split("\\")), data)
    write_texts_and_help(out, HERE, "product_intro.htm", HELP_PAGE)


if __name__ == "__main__":
    run(__doc__, output_names, write_all)
