#include "test_signals/luma_reader.h"

namespace test_signals {
namespace {

using pixel_formats::PixelFormat;

// Rec. 601 weights out of 256; exact levels do not matter, only ordering.
int Luma(int r, int g, int b) { return (77 * r + 150 * g + 29 * b) >> 8; }

int Expand(unsigned value, int bits) { return static_cast<int>(value * 255 / ((1u << bits) - 1)); }

}  // namespace

LumaReader::LumaReader(const uint8_t* frame, PixelFormat format, const pixel_formats::FrameLayout& layout)
    : frame_(frame), format_(format), layout_(layout) {}

int LumaReader::At(int x, int y) const {
    const pixel_formats::PlaneLayout& plane = layout_.planes[0];
    const int row = layout_.bottom_up ? plane.rows - 1 - y : y;
    const uint8_t* line = frame_ + plane.offset + plane.stride * static_cast<size_t>(row);
    switch (format_) {
        case PixelFormat::kYuy2: return line[2 * x];
        case PixelFormat::kUyvy: return line[2 * x + 1];
        case PixelFormat::kI420:
        case PixelFormat::kYv12: return line[x];
        case PixelFormat::kRgb24: return Luma(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
        case PixelFormat::kRgb32: return Luma(line[4 * x + 2], line[4 * x + 1], line[4 * x]);
        case PixelFormat::kRgb565: {
            const unsigned v = line[2 * x] | line[2 * x + 1] << 8;
            return Luma(Expand(v >> 11, 5), Expand((v >> 5) & 0x3F, 6), Expand(v & 0x1F, 5));
        }
        case PixelFormat::kRgb555: {
            const unsigned v = line[2 * x] | line[2 * x + 1] << 8;
            return Luma(Expand((v >> 10) & 0x1F, 5), Expand((v >> 5) & 0x1F, 5), Expand(v & 0x1F, 5));
        }
    }
    return 0;
}

int LumaReader::MeanOver(int x0, int y0, int x1, int y1) const {
    if (x0 >= x1 || y0 >= y1) return 0;
    long sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += At(x, y);
    return static_cast<int>(sum / (static_cast<long>(x1 - x0) * (y1 - y0)));
}

}  // namespace test_signals
