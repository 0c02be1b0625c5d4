// Header codes as Windows defines them: a filter that reads a VIDEOINFOHEADER
// must land on the right layout.
#include <gtest/gtest.h>

#include "pixel_formats/bitmap_codes.h"

namespace pixel_formats {
namespace {

TEST(BitmapCodes, FourCcsAreLittleEndianCharacterCodes) {
    // The Data1 of MEDIASUBTYPE_YUY2 ({32595559-0000-0010-8000-00AA00389B71}) is the FOURCC.
    EXPECT_EQ(MakeFourCc('Y', 'U', 'Y', '2'), 0x32595559u);
    EXPECT_EQ(MakeFourCc('I', '4', '2', '0'), 0x30323449u);
    EXPECT_EQ(CompressionOf(PixelFormat::kUyvy), 0x59565955u);
}

TEST(BitmapCodes, EveryFormatRoundTripsThroughItsHeaderCodes) {
    for (PixelFormat f : kAllPixelFormats) {
        EXPECT_EQ(FormatFromBitmapHeader(CompressionOf(f), BitsPerPixel(f)), f) << PixelFormatName(f);
    }
}

TEST(BitmapCodes, AliasesMasksAndMismatches) {
    EXPECT_EQ(FormatFromBitmapHeader(MakeFourCc('Y', 'U', 'Y', 'V'), 16), PixelFormat::kYuy2);
    EXPECT_EQ(FormatFromBitmapHeader(MakeFourCc('I', 'Y', 'U', 'V'), 12), PixelFormat::kI420);
    EXPECT_EQ(FormatFromBitmapHeader(kBiRgb, 16), PixelFormat::kRgb555);  // BI_RGB 16-bit is 5-5-5
    EXPECT_EQ(FormatFromBitmapHeader(kBiBitfields, 16, &kRgb555Masks), PixelFormat::kRgb555);
    EXPECT_EQ(FormatFromBitmapHeader(kBiBitfields, 16, &kRgb565Masks), PixelFormat::kRgb565);
    const ColourMasks odd{0xF000, 0x0F00, 0x00F0};
    EXPECT_FALSE(FormatFromBitmapHeader(kBiBitfields, 16, &odd));
    EXPECT_FALSE(FormatFromBitmapHeader(kBiRgb, 8));  // palettised: not ours
    EXPECT_FALSE(FormatFromBitmapHeader(MakeFourCc('Y', 'U', 'Y', '2'), 24));
    EXPECT_FALSE(FormatFromBitmapHeader(MakeFourCc('M', 'J', 'P', 'G'), 24));
}

}  // namespace
}  // namespace pixel_formats
