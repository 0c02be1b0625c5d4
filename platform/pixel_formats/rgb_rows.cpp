#include "pixel_formats/rgb_rows.h"

#include <cstring>

namespace pixel_formats {
namespace detail {
namespace {

// Widening by repeating the top bits maps full scale to full scale (31 -> 255).
inline uint8_t Expand5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
inline uint8_t Expand6(unsigned v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

inline unsigned Load16(const uint8_t* p) { return p[0] | (p[1] << 8); }
inline void Store16(uint8_t* p, unsigned v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Rgb24ToBgra(const uint8_t* src, uint8_t* bgra, int width) {
    for (int x = 0; x < width; ++x, src += 3, bgra += 4) {
        bgra[0] = src[0];
        bgra[1] = src[1];
        bgra[2] = src[2];
        bgra[3] = 255;
    }
}

void Rgb565ToBgra(const uint8_t* src, uint8_t* bgra, int width) {
    for (int x = 0; x < width; ++x, src += 2, bgra += 4) {
        const unsigned v = Load16(src);
        bgra[0] = Expand5(v & 0x1F);
        bgra[1] = Expand6((v >> 5) & 0x3F);
        bgra[2] = Expand5(v >> 11);
        bgra[3] = 255;
    }
}

void Rgb555ToBgra(const uint8_t* src, uint8_t* bgra, int width) {
    for (int x = 0; x < width; ++x, src += 2, bgra += 4) {
        const unsigned v = Load16(src);
        bgra[0] = Expand5(v & 0x1F);
        bgra[1] = Expand5((v >> 5) & 0x1F);
        bgra[2] = Expand5((v >> 10) & 0x1F);
        bgra[3] = 255;
    }
}

void BgraToRgb24(const uint8_t* bgra, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, bgra += 4, dst += 3) {
        dst[0] = bgra[0];
        dst[1] = bgra[1];
        dst[2] = bgra[2];
    }
}

void BgraToRgb565(const uint8_t* bgra, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, bgra += 4, dst += 2) {
        Store16(dst, (bgra[0] >> 3) | ((bgra[1] >> 2) << 5) | ((bgra[2] >> 3) << 11));
    }
}

void BgraToRgb555(const uint8_t* bgra, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, bgra += 4, dst += 2) {
        Store16(dst, (bgra[0] >> 3) | ((bgra[1] >> 3) << 5) | ((bgra[2] >> 3) << 10));
    }
}

}  // namespace

void UnpackRgbRow(PixelFormat format, const uint8_t* src, uint8_t* bgra, int width) {
    switch (format) {
        case PixelFormat::kRgb24: Rgb24ToBgra(src, bgra, width); return;
        case PixelFormat::kRgb32: std::memcpy(bgra, src, static_cast<size_t>(width) * 4); return;
        case PixelFormat::kRgb565: Rgb565ToBgra(src, bgra, width); return;
        case PixelFormat::kRgb555: Rgb555ToBgra(src, bgra, width); return;
        default: return;
    }
}

void PackRgbRow(PixelFormat format, const uint8_t* bgra, uint8_t* dst, int width) {
    switch (format) {
        case PixelFormat::kRgb24: BgraToRgb24(bgra, dst, width); return;
        case PixelFormat::kRgb32:
            // The fourth byte is undefined in RGB32; an opaque alpha keeps
            // consumers that read it as ARGB from showing nothing.
            for (int x = 0; x < width; ++x) {
                std::memcpy(dst + 4 * x, bgra + 4 * x, 3);
                dst[4 * x + 3] = 255;
            }
            return;
        case PixelFormat::kRgb565: BgraToRgb565(bgra, dst, width); return;
        case PixelFormat::kRgb555: BgraToRgb555(bgra, dst, width); return;
        default: return;
    }
}

}  // namespace detail
}  // namespace pixel_formats
