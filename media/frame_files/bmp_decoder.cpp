// Windows bitmap files: core and info headers (up to V5), 1/4/8-bit palettes,
// 24-bit, 32-bit BI_RGB and BI_BITFIELDS; no RLE.
#include <cstring>

#include "media/frame_files/byte_reader.h"
#include "media/frame_files/decode_limits.h"
#include "media/frame_files/frame_decoders.h"

namespace frame_files {
namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr uint32_t kStillDurationMs = 1000;

struct BitmapHeader {
    int32_t width = 0;
    int32_t height = 0;  // negative: top row first
    uint16_t bit_count = 0;
    uint32_t compression = kBiRgb;
    uint32_t colours_used = 0;
    uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};  // R, G, B, A
    bool core = false;  // 12-byte header: 3-byte palette entries
};

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // mask >> shift
};

Channel ChannelOf(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0) return c;
    while (!((mask >> c.shift) & 1)) ++c.shift;
    c.max = mask >> c.shift;
    return c;
}

uint8_t Extract(uint32_t pixel, const Channel& c) {
    if (c.max == 0) return 0;
    const uint32_t v = (pixel & c.mask) >> c.shift;
    return static_cast<uint8_t>((static_cast<uint64_t>(v) * 255 + c.max / 2) / c.max);
}

DecodeError ReadHeader(ByteReader& in, BitmapHeader* h, size_t* palette_at) {
    const uint32_t header_size = in.U32();
    if (!in.ok()) return DecodeError::Truncated;
    if (header_size == 12) {
        h->core = true;
        h->width = in.U16();
        h->height = static_cast<int16_t>(in.U16());
        in.U16();  // planes
        h->bit_count = in.U16();
    } else if (header_size >= 40 && header_size <= 124) {
        h->width = in.S32();
        h->height = in.S32();
        in.U16();
        h->bit_count = in.U16();
        h->compression = in.U32();
        in.Skip(12);  // image size, resolution
        h->colours_used = in.U32();
        in.U32();  // colours important
        const bool inline_masks = header_size >= 52;
        if (h->compression == kBiBitfields || h->compression == kBiAlphaBitfields) {
            // Masks sit inside a V2+ header, else right after the 40 bytes.
            const int count = (header_size >= 56 || h->compression == kBiAlphaBitfields) ? 4 : 3;
            for (int i = 0; i < count; ++i) h->masks[i] = in.U32();
            if (count == 3) h->masks[3] = 0;
            if (inline_masks) in.Skip(header_size - 40 - 4 * count);
        } else {
            in.Skip(header_size - 40);
        }
    } else {
        return in.ok() ? DecodeError::Unsupported : DecodeError::Truncated;
    }
    if (!in.ok()) return DecodeError::Truncated;
    *palette_at = in.position();
    return DecodeError::None;
}

DecodeError CheckFormat(const BitmapHeader& h) {
    const bool indexed = h.bit_count == 1 || h.bit_count == 4 || h.bit_count == 8;
    if (indexed || h.bit_count == 24) {
        if (h.compression != kBiRgb) return DecodeError::Unsupported;
    } else if (h.bit_count == 32) {
        if (h.compression != kBiRgb && h.compression != kBiBitfields && h.compression != kBiAlphaBitfields)
            return DecodeError::Unsupported;
    } else {
        return h.bit_count == 0 ? DecodeError::Corrupt : DecodeError::Unsupported;
    }
    if (h.height == INT32_MIN) return DecodeError::Corrupt;
    return CheckSides(h.width, h.height < 0 ? -static_cast<int64_t>(h.height) : h.height);
}

// Palette as RGBA, always 256 entries so any index reads something.
std::vector<uint8_t> ReadPalette(const uint8_t* data, size_t size, size_t at, const BitmapHeader& h) {
    std::vector<uint8_t> palette(256 * 4, 0);
    for (size_t i = 0; i < 256; ++i) palette[i * 4 + 3] = 255;
    const size_t entry = h.core ? 3 : 4;
    size_t count = h.colours_used ? h.colours_used : size_t{1} << h.bit_count;
    if (count > 256) count = 256;
    for (size_t i = 0; i < count && at + (i + 1) * entry <= size; ++i) {
        const uint8_t* p = data + at + i * entry;
        palette[i * 4] = p[2];
        palette[i * 4 + 1] = p[1];
        palette[i * 4 + 2] = p[0];
    }
    return palette;
}

void DecodeRow(const uint8_t* src, const BitmapHeader& h, const std::vector<uint8_t>& palette,
               const Channel* channels, uint8_t* dst) {
    const int bits = h.bit_count;
    for (int x = 0; x < h.width; ++x, dst += 4) {
        if (bits <= 8) {
            const int bit = x * bits;
            const int index = (src[bit >> 3] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1);
            std::memcpy(dst, &palette[index * 4], 4);
        } else if (bits == 24) {
            const uint8_t* p = src + x * 3;
            dst[0] = p[2], dst[1] = p[1], dst[2] = p[0], dst[3] = 255;
        } else {
            const uint8_t* p = src + x * 4;
            const uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
            for (int c = 0; c < 4; ++c) dst[c] = Extract(v, channels[c]);
        }
    }
}

// 32-bit pictures with any alpha keep it; the rest are opaque but for the key colour.
void ApplyTransparencyRule(std::vector<uint8_t>& rgba, bool has_alpha_channel) {
    if (has_alpha_channel) {
        for (size_t i = 3; i < rgba.size(); i += 4)
            if (rgba[i] != 0) return;
    }
    for (size_t i = 0; i < rgba.size(); i += 4) {
        uint8_t* p = &rgba[i];
        if (p[0] == kKeyRed && p[1] == kKeyGreen && p[2] == kKeyBlue)
            p[0] = p[1] = p[2] = p[3] = 0;
        else
            p[3] = 255;
    }
}

}  // namespace

DecodeError DecodeBitmapFrame(const uint8_t* data, size_t size, FrameAnimation* out,
                              const DecodeOptions& options) {
    *out = FrameAnimation{};
    if (size == 0 || data == nullptr) return DecodeError::Empty;
    ByteReader in(data, size);
    if (in.U8() != 'B' || in.U8() != 'M') return in.ok() ? DecodeError::Unsupported : DecodeError::Truncated;
    in.Skip(8);
    const uint32_t bits_at = in.U32();
    BitmapHeader h;
    size_t palette_at = 0;
    if (DecodeError e = ReadHeader(in, &h, &palette_at); e != DecodeError::None) return e;
    if (DecodeError e = CheckFormat(h); e != DecodeError::None) return e;

    const int height = h.height < 0 ? -h.height : h.height;
    const size_t bytes = RgbaBytes(h.width, height);
    if (bytes > options.max_bytes) return DecodeError::TooLarge;
    const size_t stride = ((static_cast<size_t>(h.width) * h.bit_count + 31) / 32) * 4;
    if (bits_at > size || stride * height > size - bits_at) return DecodeError::Truncated;

    const std::vector<uint8_t> palette = ReadPalette(data, size, palette_at, h);
    Channel channels[4];
    for (int c = 0; c < 4; ++c) channels[c] = ChannelOf(h.masks[c]);
    AnimationFrame frame;
    frame.rgba.resize(bytes);
    frame.duration_ms = kStillDurationMs;
    for (int y = 0; y < height; ++y) {
        const int file_row = h.height < 0 ? y : height - 1 - y;
        DecodeRow(data + bits_at + stride * file_row, h, palette, channels,
                  &frame.rgba[static_cast<size_t>(y) * h.width * 4]);
    }
    ApplyTransparencyRule(frame.rgba, h.bit_count == 32 && channels[3].mask != 0);
    out->width = h.width;
    out->height = height;
    out->loops = true;
    out->frames.push_back(std::move(frame));
    return DecodeError::None;
}

}  // namespace frame_files
