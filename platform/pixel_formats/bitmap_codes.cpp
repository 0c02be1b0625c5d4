#include "pixel_formats/bitmap_codes.h"

namespace pixel_formats {
namespace {

bool SameMasks(const ColourMasks& a, const ColourMasks& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

std::optional<PixelFormat> FromFourCc(uint32_t fourcc, int bit_count) {
    struct Code {
        uint32_t fourcc;
        PixelFormat format;
    };
    static constexpr Code kCodes[] = {
        {MakeFourCc('Y', 'U', 'Y', '2'), PixelFormat::kYuy2}, {MakeFourCc('Y', 'U', 'Y', 'V'), PixelFormat::kYuy2},
        {MakeFourCc('U', 'Y', 'V', 'Y'), PixelFormat::kUyvy}, {MakeFourCc('I', '4', '2', '0'), PixelFormat::kI420},
        {MakeFourCc('I', 'Y', 'U', 'V'), PixelFormat::kI420}, {MakeFourCc('Y', 'V', '1', '2'), PixelFormat::kYv12},
    };
    for (const Code& code : kCodes) {
        if (code.fourcc == fourcc && BitsPerPixel(code.format) == bit_count) return code.format;
    }
    return std::nullopt;
}

}  // namespace

std::optional<PixelFormat> FormatFromBitmapHeader(uint32_t compression, int bit_count, const ColourMasks* masks) {
    if (compression == kBiRgb) {
        switch (bit_count) {
            case 16: return PixelFormat::kRgb555;
            case 24: return PixelFormat::kRgb24;
            case 32: return PixelFormat::kRgb32;
            default: return std::nullopt;
        }
    }
    if (compression == kBiBitfields) {
        if (bit_count == 16) {
            if (!masks || SameMasks(*masks, kRgb565Masks)) return PixelFormat::kRgb565;
            if (SameMasks(*masks, kRgb555Masks)) return PixelFormat::kRgb555;
            return std::nullopt;
        }
        const ColourMasks rgb32{0xFF0000, 0x00FF00, 0x0000FF};
        if (bit_count == 32 && (!masks || SameMasks(*masks, rgb32))) return PixelFormat::kRgb32;
        return std::nullopt;
    }
    return FromFourCc(compression, bit_count);
}

uint32_t CompressionOf(PixelFormat format) {
    switch (format) {
        case PixelFormat::kYuy2: return MakeFourCc('Y', 'U', 'Y', '2');
        case PixelFormat::kUyvy: return MakeFourCc('U', 'Y', 'V', 'Y');
        case PixelFormat::kI420: return MakeFourCc('I', '4', '2', '0');
        case PixelFormat::kYv12: return MakeFourCc('Y', 'V', '1', '2');
        case PixelFormat::kRgb565: return kBiBitfields;
        default: return kBiRgb;
    }
}

}  // namespace pixel_formats
