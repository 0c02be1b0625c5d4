// Brightness of pixels of a frame in any pixel_formats format, read in place.
#pragma once

#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace test_signals {

class LumaReader {
public:
    // The frame must hold layout.size bytes.
    LumaReader(const uint8_t* frame, pixel_formats::PixelFormat format, const pixel_formats::FrameLayout& layout);

    // Brightness 0..255 of (x, y), y from the top of the picture. YUV formats
    // give their Y sample, which is studio swing (16..235): callers compare
    // against references taken from the same frame, not absolute levels.
    int At(int x, int y) const;
    // Mean over the half-open rectangle; 0 when it is empty.
    int MeanOver(int x0, int y0, int x1, int y1) const;

private:
    const uint8_t* frame_;
    pixel_formats::PixelFormat format_;
    pixel_formats::FrameLayout layout_;
};

}  // namespace test_signals
