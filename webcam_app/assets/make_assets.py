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

import make_frames  # noqa: E402
import orvane_skin  # noqa: E402
from skin import bmp_file  # noqa: E402

SKINS = ("BaseSkin", "Ferrow", "Tavel")
HELP_PAGE = "VemraZolt\u529f\u80fd\u4ecb\u7ecd.htm"  # VemraZolt功能介绍.htm
# Bytes that the settings reader takes for a section header wherever they
# appear in a line; a GBK character must not carry them as its second byte.
HEADER_BYTES = (ord("["), ord("]"))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # Only replace a file that changed, so its time stamp tells the truth.
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def texts():
    with open(os.path.join(HERE, "texts", "Resource.ini"), encoding="ascii") as f:
        english = crlf(f.read()).encode("ascii")
    with open(os.path.join(HERE, "texts", "Resource.zh-CN.utf8.ini"), encoding="utf-8") as f:
        chinese = crlf(f.read()).encode("gbk")
    for number, line in enumerate(chinese.split(b"\r\n"), 1):
        if not line.startswith(b"[") and any(b in line for b in HEADER_BYTES):
            raise SystemExit("Resource.zh-CN line %d: a GBK byte reads as a section bracket" % number)
    return english, chinese


def output_names():
    names = [skin + "/" + n for skin in SKINS for n in orvane_skin.skin_names()]
    names += ["Frames/" + n for n in make_frames.FILES]
    return names + ["Resource.ini", "Resource.zh-CN.ini", "Help/" + HELP_PAGE]


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    if sys.argv[1] == "--list":
        sys.stdout.buffer.write("".join(n + "\n" for n in output_names()).encode("utf-8"))
        return
    out = sys.argv[1]
    for skin in SKINS:
        for name, cv in orvane_skin.skin_files(skin):
            write(os.path.join(out, skin, name), bmp_file.encode(cv.width, cv.height, cv.rgb_rows()))
    for name, make in make_frames.FILES.items():
        write(os.path.join(out, "Frames", name), make())
    english, chinese = texts()
    write(os.path.join(out, "Resource.ini"), english)
    write(os.path.join(out, "Resource.zh-CN.ini"), chinese)
    with open(os.path.join(HERE, "help", "orvane_intro.htm"), "rb") as f:
        write(os.path.join(out, "Help", HELP_PAGE), f.read())


if __name__ == "__main__":
    main()
