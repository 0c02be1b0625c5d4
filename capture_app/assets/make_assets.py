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

from skin import bmp_file, buttons, frame, pieces  # noqa: E402

HELP_PAGE = "\u4ea7\u54c1\u7b80\u4ecb.htm"  # 产品简介.htm
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


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def texts():
    with open(os.path.join(HERE, "texts", "Resource.ini"), encoding="ascii") as f:
        english = crlf(f.read()).encode("ascii")
    with open(os.path.join(HERE, "texts", "Resource.zh-CN.utf8.ini"), encoding="utf-8") as f:
        chinese = crlf(f.read()).encode("gbk")
    for number, line in enumerate(chinese.split(b"\r\n"), 1):
        if line.startswith(b"["):
            continue
        if any(b in line for b in HEADER_BYTES):
            raise SystemExit("Resource.zh-CN line %d: a GBK byte reads as a section bracket" % number)
    return english, chinese


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    if sys.argv[1] == "--list":
        sys.stdout.buffer.write("".join(n + "\n" for n in output_names()).encode("utf-8"))
        return
    out = sys.argv[1]
    for name, data in skin_files():
        write(os.path.join(out, "Skin", *name.split("\\")), data)
    english, chinese = texts()
    write(os.path.join(out, "Resource.ini"), english)
    write(os.path.join(out, "Resource.zh-CN.ini"), chinese)
    with open(os.path.join(HERE, "help", "product_intro.htm"), "rb") as f:
        write(os.path.join(out, "Help", HELP_PAGE), f.read())


if __name__ == "__main__":
    main()
