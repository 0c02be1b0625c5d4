"""24-bit BMP files: written bottom-up with padded rows, read back for checks."""
import struct


def encode(width, height, rgb_rows):
    """rgb_rows: height rows, top first, of width (r, g, b) byte triples."""
    row_bytes = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rgb_rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_bytes - len(line))
        pixels += line
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    # 2835 pixels per metre is 72 dpi.
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return file_header + info_header + bytes(pixels)


def decode(data):
    """Returns (width, height, rows top first) of a 24-bit uncompressed BMP; raises ValueError otherwise."""
    if len(data) < 54 or data[:2] != b"BM":
        raise ValueError("not a BMP file")
    _, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    header, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size != len(data) or header != 40 or planes != 1 or bits != 24 or compression != 0:
        raise ValueError("not a plain 24-bit BMP")
    top_down = height < 0
    height = abs(height)
    row_bytes = (width * 3 + 3) & ~3
    if offset + row_bytes * height > len(data):
        raise ValueError("pixel data cut short")
    rows = []
    for y in range(height):
        start = offset + row_bytes * y
        rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x]) for x in range(width)])
    if not top_down:
        rows.reverse()
    return width, height, rows
