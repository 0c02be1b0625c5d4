// The numbers a BITMAPINFOHEADER uses for our formats (biCompression and
// biBitCount), without Win32 headers, so a filter can map a media type's
// format block to a PixelFormat and back.
#pragma once

#include <cstdint>
#include <optional>

#include "pixel_formats/pixel_format.h"

namespace pixel_formats {

constexpr uint32_t MakeFourCc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitfields = 3;

// Colour masks of a BI_BITFIELDS header (red, green, blue).
struct ColourMasks {
    uint32_t red, green, blue;
};
inline constexpr ColourMasks kRgb565Masks{0xF800, 0x07E0, 0x001F};
inline constexpr ColourMasks kRgb555Masks{0x7C00, 0x03E0, 0x001F};

// The format a header describes. YUYV and IYUV are accepted as the same
// layouts as YUY2 and I420. For 16-bit BI_BITFIELDS the masks decide; without
// masks RGB565 is assumed, as MEDIASUBTYPE_RGB565 implies.
std::optional<PixelFormat> FormatFromBitmapHeader(uint32_t compression, int bit_count,
                                                  const ColourMasks* masks = nullptr);

// biCompression to write for the format: BI_RGB for RGB24/RGB32/RGB555,
// BI_BITFIELDS (with kRgb565Masks) for RGB565, the FOURCC for YUV.
uint32_t CompressionOf(PixelFormat format);

}  // namespace pixel_formats
