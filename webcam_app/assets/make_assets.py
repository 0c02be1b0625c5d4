#!/usr/bin/env python3
"""Writes the data that lies beside Orvane.exe: the three skins "BaseSkin",
"Ferrow" and "Tavel", the interface texts (English, and Chinese in the GBK
code page), the help page and the "Frames" folder.
Usage: make_assets.py OUTPUT_DIR  (the program's folder)
       make_assets.py --list      (the files it writes, one a line)"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.dont_write_bytecode = True  # keep the source folders clean
sys.path.insert(0, HERE)
# The vector canvas and BMP writer of Snapory's skin, and the sample frames.
sys.path.insert(0, os.path.join(ROOT, "capture_app", "assets"))
sys.path.insert(0, os.path.join(ROOT, "media", "frame_files", "samples"))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import make_frames  # noqa: E402
from asset_files import run, write, write_texts_and_help  # noqa: E402
import orvane_skin  # noqa: E402
from skin import bmp_file  # noqa: E402

SKINS = ("BaseSkin", "Ferrow", "Tavel")
HELP_PAGE = "VemraZolt\u529f\u80fd\u4ecb\u7ecd.htm"  # VemraZolt功能介绍.htm


def output_names():
    names = [skin + "/" + n for skin in SKINS for n in orvane_skin.skin_names()]
    names += ["Frames/" + n for n in make_frames.FILES]
    return names + ["Resource.ini", "Resource.zh-CN.ini", "Help/" + HELP_PAGE]


def write_all(out):
    for skin in SKINS:
        for name, cv in orvane_skin.skin_files(skin):
            write(os.path.join(out, skin, name), bmp_file.encode(cv.width, cv.height, cv.rgb_rows()))
    for name, make in make_frames.FILES.items():
        write(os.path.join(out, "Frames", name), make())
    write_texts_and_help(out, HERE, "orvane_intro.htm", HELP_PAGE)


if __name__ == "__main__":
    run(__doc__, output_names, write_all)
