"""What the build's data scripts share: writing an output file only when its
bytes change, the programs' interface texts in their ANSI code pages, and a
one-picture 32-bit .ico, and the command line of every such script.
"""
import os
import struct
import sys

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


def texts(folder):
    """(English in ASCII, Chinese in GBK) of Resource.ini and
    Resource.zh-CN.utf8.ini in folder, with CRLF line ends."""
    with open(os.path.join(folder, "Resource.ini"), encoding="ascii") as f:
        english = crlf(f.read()).encode("ascii")
    with open(os.path.join(folder, "Resource.zh-CN.utf8.ini"), encoding="utf-8") as f:
        chinese = crlf(f.read()).encode("gbk")
    for number, line in enumerate(chinese.split(b"\r\n"), 1):
        if not line.startswith(b"[") and any(b in line for b in HEADER_BYTES):
            raise SystemExit("Resource.zh-CN line %d: a GBK byte reads as a section bracket" % number)
    return english, chinese


def run(usage, names, write_all):
    """The command line: OUTPUT_DIR writes the files (write_all(folder)),
    --list prints names(), the paths below the folder, one a line."""
    if len(sys.argv) != 2:
        raise SystemExit(usage)
    if sys.argv[1] == "--list":
        sys.stdout.buffer.write("".join(n + "\n" for n in names()).encode("utf-8"))
        return
    write_all(sys.argv[1])


def write_texts_and_help(out, source, help_file, help_page):
    """The interface texts of source/texts as Resource.ini and
    Resource.zh-CN.ini, and source/help/help_file as Help/help_page."""
    english, chinese = texts(os.path.join(source, "texts"))
    write(os.path.join(out, "Resource.ini"), english)
    write(os.path.join(out, "Resource.zh-CN.ini"), chinese)
    with open(os.path.join(source, "help", help_file), "rb") as f:
        write(os.path.join(out, "Help", help_page), f.read())


def write_icon(path, pixel, size=32):
    """A .ico of one size x size 32-bit picture; pixel(x, y) gives (r, g, b, a)."""
    rows = []
    for y in reversed(range(size)):       # bottom-up rows
        for x in range(size):
            r, g, b, a = pixel(x, y)
            rows.append(struct.pack('<BBBB', b, g, r, a))
    xor = b''.join(rows)
    and_mask = b'\0' * (((size + 31) // 32 * 4) * size)  # 1 bit a pixel, rows of whole DWORDs
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icon_dir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(icon_dir + entry + image)
