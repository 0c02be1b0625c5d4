"""Encoders for the three frame file formats, standard library only:
Windows bitmaps (8-, 24-, 32-bit), GIF89a animations and SWF movies made of
lossless bitmaps."""
import struct
import zlib

KEY = (255, 0, 255)  # magenta: transparent in 8- and 24-bit frames


# Bitmaps -------------------------------------------------------------------

def _bitmap(width, height, bit_count, compression, extra_header, palette, rows):
    """rows: bytes of each picture row, top row first, already padded;
    extra_header: what follows the 40-byte info header's fields (V4 part)."""
    info = struct.pack("<IiiHHIIiiII", 40 + len(extra_header), width, height, 1, bit_count, compression,
                       sum(len(r) for r in rows), 2835, 2835, len(palette) // 4, 0)
    offset = 14 + len(info) + len(extra_header) + len(palette)
    pixels = b"".join(reversed(rows))  # bottom row first
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + extra_header + palette + pixels


def _pad(row):
    return row + b"\0" * (-len(row) % 4)


def bmp24(width, height, pixels):
    """pixels: (r, g, b) tuples, top row first; transparency by the key colour."""
    rows = []
    for y in range(height):
        row = bytearray()
        for r, g, b in pixels[y * width:(y + 1) * width]:
            row += bytes((b, g, r))
        rows.append(_pad(bytes(row)))
    return _bitmap(width, height, 24, 0, b"", b"", rows)


def bmp32(width, height, pixels, bitfields=False):
    """pixels: (r, g, b, a) tuples (straight alpha), top row first."""
    rows = []
    for y in range(height):
        row = bytearray()
        for r, g, b, a in pixels[y * width:(y + 1) * width]:
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    if bitfields:  # BI_BITFIELDS in a V4 header, which carries the alpha mask
        v4 = struct.pack("<IIIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 0x73524742)
        v4 += b"\0" * (36 + 12)  # end points, gamma
        return _bitmap(width, height, 32, 3, v4, b"", rows)
    return _bitmap(width, height, 32, 0, b"", b"", rows)


def bmp8(width, height, indices, colours):
    """indices: palette index per pixel, top row first; colours: (r, g, b) list."""
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    rows = [_pad(bytes(indices[y * width:(y + 1) * width])) for y in range(height)]
    return _bitmap(width, height, 8, 0, b"", palette, rows)


# GIF -------------------------------------------------------------------------

def lzw_encode(indices, min_code_size):
    """GIF's LZW: codes packed least significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    code_size, next_code, table = min_code_size + 1, end + 1, {}

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += code_size
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8

    emit(clear)
    prefix = indices[0]
    for value in indices[1:]:
        key = prefix << 8 | value
        if key in table:
            prefix = table[key]
            continue
        emit(prefix)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # The decoder's table runs one entry behind: widen when it will.
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear)
            code_size, next_code, table = min_code_size + 1, end + 1, {}
        prefix = value
    emit(prefix)
    emit(end)
    if nbits:
        out.append(bits & 255)
    return bytes(out)


def _sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes((len(chunk),)) + chunk
    return bytes(out) + b"\0"


def _colour_table(colours):
    size_bits = max(1, (len(colours) - 1).bit_length())
    table = b"".join(bytes(c) for c in colours)
    return size_bits, table + b"\0" * (3 * (1 << size_bits) - len(table))


def _interlaced_rows(height):
    order = []
    for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)):
        order += range(start, height, step)
    return order


class GifFrame:
    def __init__(self, left, top, width, height, indices, delay_cs, disposal=1,
                 transparent=None, local_colours=None, interlaced=False):
        self.left, self.top, self.width, self.height = left, top, width, height
        self.indices, self.delay_cs, self.disposal = indices, delay_cs, disposal
        self.transparent, self.local_colours, self.interlaced = transparent, local_colours, interlaced


def gif(width, height, colours, frames, loop=True):
    size_bits, table = _colour_table(colours)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (size_bits - 1), 0, 0)
    out += table
    if loop:
        out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for f in frames:
        flags = (f.disposal << 2) | (1 if f.transparent is not None else 0)
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, f.delay_cs, f.transparent or 0, 0)
        packed, local = 0, b""
        bits = size_bits
        if f.local_colours:
            bits, local = _colour_table(f.local_colours)
            packed |= 0x80 | (bits - 1)
        indices = f.indices
        if f.interlaced:
            packed |= 0x40
            indices = [v for y in _interlaced_rows(f.height)
                       for v in f.indices[y * f.width:(y + 1) * f.width]]
        out += struct.pack("<BHHHHB", 0x2C, f.left, f.top, f.width, f.height, packed) + local
        min_code_size = max(2, bits)
        out += bytes((min_code_size,)) + _sub_blocks(lzw_encode(indices, min_code_size))
    out += b"\x3b"
    return bytes(out)


# SWF -------------------------------------------------------------------------

class _Bits:
    def __init__(self):
        self.out, self.acc, self.n = bytearray(), 0, 0

    def put(self, value, count):
        for i in reversed(range(count)):
            self.acc = self.acc << 1 | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                self.acc, self.n = 0, 0

    def bytes(self):
        if self.n:
            self.out.append(self.acc << (8 - self.n))
            self.acc, self.n = 0, 0
        return bytes(self.out)


def _signed_bits(*values):
    return max([1] + [(v if v >= 0 else ~v).bit_length() + 1 for v in values])


def _rect_bits(bits, x_min, x_max, y_min, y_max):
    n = _signed_bits(x_min, x_max, y_min, y_max)
    bits.put(n, 5)
    for v in (x_min, x_max, y_min, y_max):
        bits.put(v & ((1 << n) - 1), n)


def swf_rect(x_min, x_max, y_min, y_max):
    bits = _Bits()
    _rect_bits(bits, x_min, x_max, y_min, y_max)
    return bits.bytes()


def swf_matrix(scale_x=1.0, scale_y=1.0, tx=0, ty=0):
    """Scale and translation (twips); no rotation."""
    bits = _Bits()
    sx, sy = round(scale_x * 65536), round(scale_y * 65536)
    if (sx, sy) != (65536, 65536):
        n = _signed_bits(sx, sy)
        bits.put(1, 1)
        bits.put(n, 5)
        bits.put(sx & ((1 << n) - 1), n)
        bits.put(sy & ((1 << n) - 1), n)
    else:
        bits.put(0, 1)
    bits.put(0, 1)
    n = _signed_bits(tx, ty) if (tx or ty) else 0
    bits.put(n, 5)
    if n:
        bits.put(tx & ((1 << n) - 1), n)
        bits.put(ty & ((1 << n) - 1), n)
    return bits.bytes()


def swf_tag(code, body):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def define_bits_lossless2(character, width, height, pixels):
    """pixels: (r, g, b, a) tuples, straight alpha; stored premultiplied ARGB."""
    argb = bytearray()
    for r, g, b, a in pixels:
        argb += bytes((a, r * a // 255, g * a // 255, b * a // 255))
    body = struct.pack("<HBHH", character, 5, width, height) + zlib.compress(bytes(argb), 9)
    return swf_tag(36, body)


def define_bitmap_shape(character, bitmap, width, height):
    """A width x height pixel rectangle filled with the bitmap (clipped fill)."""
    w, h = width * 20, height * 20
    body = bytearray(struct.pack("<H", character)) + swf_rect(0, w, 0, h)
    body += bytes((1, 0x41)) + struct.pack("<H", bitmap) + swf_matrix(20.0, 20.0)
    body += bytes((0,))  # no line styles
    bits = _Bits()
    bits.put(1, 4)  # fill style index bits
    bits.put(0, 4)  # line style index bits
    # Style change: move to (0, 0), fill style 1 on the right of the edges.
    bits.put(0, 1), bits.put(0, 1), bits.put(0, 1), bits.put(1, 1), bits.put(0, 1), bits.put(1, 1)
    bits.put(1, 5), bits.put(0, 1), bits.put(0, 1)
    bits.put(1, 1)
    for dx, dy in ((w, 0), (0, h), (-w, 0), (0, -h)):  # straight edges around the rectangle
        n = _signed_bits(dx, dy)
        bits.put(1, 1), bits.put(1, 1), bits.put(n - 2, 4), bits.put(0, 1)
        bits.put(1 if dx == 0 else 0, 1)
        value = dy if dx == 0 else dx
        bits.put(value & ((1 << n) - 1), n)
    bits.put(0, 6)  # end of shape
    body += bits.bytes()
    return swf_tag(2, bytes(body))


def place_object2(depth, character=None, matrix=None, move=False):
    flags = (0x01 if move else 0) | (0x02 if character is not None else 0) | (0x04 if matrix else 0)
    body = struct.pack("<BH", flags, depth)
    if character is not None:
        body += struct.pack("<H", character)
    if matrix:
        body += matrix
    return swf_tag(26, body)


def remove_object2(depth):
    return swf_tag(28, struct.pack("<H", depth))


def set_background(r, g, b):
    return swf_tag(9, bytes((r, g, b)))


def show_frame():
    return swf_tag(1, b"")


def swf(width, height, frame_rate, frame_count, tags, compressed):
    body = swf_rect(0, width * 20, 0, height * 20)
    body += struct.pack("<HH", int(frame_rate * 256), frame_count) + b"".join(tags) + swf_tag(0, b"")
    length = 8 + len(body)
    if compressed:
        return b"CWS" + bytes((8,)) + struct.pack("<I", length) + zlib.compress(body, 9)
    return b"FWS" + bytes((8,)) + struct.pack("<I", length) + body
