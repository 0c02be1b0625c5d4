#include "media/frame_files/tests/frame_test_files.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace frame_test {
namespace {

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

int PaletteBits(size_t colours) {
    int bits = 1;
    while ((size_t{1} << bits) < colours) ++bits;
    return bits;
}

std::vector<int> InterlacedRows(int height) {
    std::vector<int> rows;
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
}

}  // namespace

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string SamplePath(const std::string& name) { return std::string(FRAME_SAMPLES_DIR) + "/" + name; }

Bytes ReadSample(const std::string& name) { return ReadFileBytes(SamplePath(name)); }

Bytes MakeBitmap(int width, int height, int bit_count, const Bytes& top_rows, bool top_down, const Bytes& palette_bgrx,
                 bool bitfields) {
    const size_t row = (static_cast<size_t>(width) * bit_count + 7) / 8;
    const size_t stride = (row + 3) & ~size_t{3};
    const uint32_t header = bitfields ? 108 : 40;
    const uint32_t offset = 14 + header + static_cast<uint32_t>(palette_bgrx.size());
    Bytes b = {'B', 'M'};
    Put32(b, offset + static_cast<uint32_t>(stride * height));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, header);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(top_down ? -height : height));
    Put16(b, 1);
    Put16(b, static_cast<unsigned>(bit_count));
    Put32(b, bitfields ? 3 : 0);
    for (int i = 0; i < 3; ++i) Put32(b, 0);
    Put32(b, static_cast<uint32_t>(palette_bgrx.size() / 4));
    Put32(b, 0);
    if (bitfields) {
        for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(b, mask);
        b.resize(b.size() + 108 - 56, 0);
    }
    b.insert(b.end(), palette_bgrx.begin(), palette_bgrx.end());
    for (int i = 0; i < height; ++i) {
        const int y = top_down ? i : height - 1 - i;
        b.insert(b.end(), top_rows.begin() + row * y, top_rows.begin() + row * (y + 1));
        b.resize(b.size() + stride - row, 0);
    }
    return b;
}

Bytes SimpleLzw(const std::vector<uint8_t>& indices, int min_code_size) {
    const int clear = 1 << min_code_size, width = min_code_size + 1;
    // Each literal after the first adds a table entry; clear before the
    // decoder would widen its codes.
    const int run = (1 << width) - clear - 3;
    Bytes out;
    uint32_t bits = 0;
    int count = 0;
    auto emit = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % run == 0) emit(clear);
        emit(indices[i]);
    }
    emit(clear + 1);
    if (count) out.push_back(static_cast<uint8_t>(bits));
    return out;
}

Bytes MakeGif(int width, int height, const std::vector<uint8_t>& global_rgb, const std::vector<GifImage>& images,
              bool loop) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, static_cast<unsigned>(width));
    Put16(b, static_cast<unsigned>(height));
    const int global_bits = PaletteBits(global_rgb.size() / 3);
    b.push_back(static_cast<uint8_t>(global_rgb.empty() ? 0 : 0x80 | 0x70 | (global_bits - 1)));
    b.push_back(0);
    b.push_back(0);
    b.insert(b.end(), global_rgb.begin(), global_rgb.end());
    if (loop) {
        const char* app = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00";
        b.insert(b.end(), app, app + 19);
    }
    for (const GifImage& image : images) {
        b.insert(b.end(), {0x21, 0xF9, 4});
        b.push_back(static_cast<uint8_t>(image.disposal << 2 | (image.transparent >= 0 ? 1 : 0)));
        Put16(b, static_cast<unsigned>(image.delay_cs));
        b.push_back(static_cast<uint8_t>(image.transparent >= 0 ? image.transparent : 0));
        b.push_back(0);
        b.push_back(0x2C);
        for (int v : {image.left, image.top, image.width, image.height}) Put16(b, static_cast<unsigned>(v));
        const int local_bits = PaletteBits(image.local_rgb.size() / 3);
        b.push_back(static_cast<uint8_t>((image.local_rgb.empty() ? 0 : 0x80 | (local_bits - 1)) |
                                         (image.interlaced ? 0x40 : 0)));
        b.insert(b.end(), image.local_rgb.begin(), image.local_rgb.end());
        std::vector<uint8_t> order = image.indices;
        if (image.interlaced) {
            order.clear();
            for (int y : InterlacedRows(image.height))
                order.insert(order.end(), image.indices.begin() + y * image.width,
                             image.indices.begin() + (y + 1) * image.width);
        }
        const int min_code_size = std::max(2, image.local_rgb.empty() ? global_bits : local_bits);
        b.push_back(static_cast<uint8_t>(min_code_size));
        const Bytes data = SimpleLzw(order, min_code_size);
        for (size_t i = 0; i < data.size(); i += 255) {
            const size_t n = std::min<size_t>(255, data.size() - i);
            b.push_back(static_cast<uint8_t>(n));
            b.insert(b.end(), data.begin() + i, data.begin() + i + n);
        }
        b.push_back(0);
    }
    b.push_back(0x3B);
    return b;
}

void SwfBits::Put(int64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        acc_ = acc_ << 1 | ((value >> i) & 1);
        if (++count_ == 8) out_.push_back(static_cast<uint8_t>(acc_)), acc_ = 0, count_ = 0;
    }
}

Bytes SwfBits::Take() {
    if (count_) out_.push_back(static_cast<uint8_t>(acc_ << (8 - count_)));
    acc_ = 0, count_ = 0;
    return std::move(out_);
}

int SwfBits::SignedWidth(std::initializer_list<int64_t> values) {
    int width = 1;
    for (int64_t v : values) {
        int bits = 1;
        while ((v < 0 ? ~v : v) >> (bits - 1)) ++bits;
        width = std::max(width, bits);
    }
    return width;
}

Bytes SwfRect(int x_min, int x_max, int y_min, int y_max) {
    SwfBits bits;
    const int n = SwfBits::SignedWidth({x_min, x_max, y_min, y_max});
    bits.Put(n, 5);
    for (int v : {x_min, x_max, y_min, y_max}) bits.Put(v, n);
    return bits.Take();
}

Bytes SwfMatrix(double scale_x, double scale_y, double skew0, double skew1, int tx, int ty) {
    SwfBits bits;
    const int64_t sx = std::llround(scale_x * 65536), sy = std::llround(scale_y * 65536);
    const int64_t r0 = std::llround(skew0 * 65536), r1 = std::llround(skew1 * 65536);
    bits.Put(1, 1);
    int n = SwfBits::SignedWidth({sx, sy});
    bits.Put(n, 5), bits.Put(sx, n), bits.Put(sy, n);
    bits.Put(1, 1);
    n = SwfBits::SignedWidth({r0, r1});
    bits.Put(n, 5), bits.Put(r0, n), bits.Put(r1, n);
    n = SwfBits::SignedWidth({tx, ty});
    bits.Put(n, 5), bits.Put(tx, n), bits.Put(ty, n);
    return bits.Take();
}

Bytes SwfTag(int code, const Bytes& body) {
    Bytes tag;
    Put16(tag, static_cast<unsigned>(code << 6 | 0x3F));
    Put32(tag, static_cast<uint32_t>(body.size()));
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

Bytes SwfLossless2(uint16_t id, int width, int height, const Bytes& rgba) {
    Bytes argb;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const int a = rgba[i + 3];
        argb.insert(argb.end(), {static_cast<uint8_t>(a), static_cast<uint8_t>(rgba[i] * a / 255),
                                 static_cast<uint8_t>(rgba[i + 1] * a / 255), static_cast<uint8_t>(rgba[i + 2] * a / 255)});
    }
    uLongf packed_size = compressBound(argb.size());
    Bytes packed(packed_size);
    compress(packed.data(), &packed_size, argb.data(), argb.size());
    Bytes body;
    Put16(body, id);
    body.push_back(5);
    Put16(body, static_cast<unsigned>(width));
    Put16(body, static_cast<unsigned>(height));
    body.insert(body.end(), packed.begin(), packed.begin() + packed_size);
    return SwfTag(36, body);
}

Bytes SwfMovie(int width, int height, double fps, const std::vector<Bytes>& tags, bool compressed) {
    Bytes body = SwfRect(0, width * 20, 0, height * 20);
    Put16(body, static_cast<unsigned>(std::lround(fps * 256)));
    Put16(body, 1);
    for (const Bytes& tag : tags) body.insert(body.end(), tag.begin(), tag.end());
    body.insert(body.end(), {0, 0});
    Bytes movie = {static_cast<uint8_t>(compressed ? 'C' : 'F'), 'W', 'S', 10};
    Put32(movie, static_cast<uint32_t>(8 + body.size()));
    if (compressed) {
        uLongf packed_size = compressBound(body.size());
        Bytes packed(packed_size);
        compress(packed.data(), &packed_size, body.data(), body.size());
        body.assign(packed.begin(), packed.begin() + packed_size);
    }
    movie.insert(movie.end(), body.begin(), body.end());
    return movie;
}

bool ReadWithImageMagick(const std::string& path, MagickFrames* out, std::string* error) {
    // The frame size first (one line per frame), then the coalesced pixels.
    const std::string size_command = "convert '" + path + "' -coalesce -format '%w %h\\n' info:";
    FILE* p = popen(size_command.c_str(), "r");
    if (!p) return *error = "cannot start convert", false;
    int w = 0, h = 0, frames = 0;
    while (std::fscanf(p, "%d %d", &w, &h) == 2) ++frames;
    if (pclose(p) != 0 || frames == 0) return *error = "convert could not read " + path, false;
    out->width = w;
    out->height = h;
    const std::string pixel_command = "convert '" + path + "' -coalesce -depth 8 rgba:-";
    p = popen(pixel_command.c_str(), "r");
    if (!p) return *error = "cannot start convert", false;
    const size_t frame_bytes = static_cast<size_t>(w) * h * 4;
    out->rgba.assign(frames, Bytes(frame_bytes));
    size_t got = 0;
    for (Bytes& frame : out->rgba) got += std::fread(frame.data(), 1, frame_bytes, p);
    if (pclose(p) != 0 || got != frame_bytes * frames) return *error = "short pixel output from convert", false;
    return true;
}

}  // namespace frame_test
