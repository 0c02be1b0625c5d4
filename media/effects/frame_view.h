// A 24-bit picture as the effects see it: B G R pixels, rows addressed from
// the top of the picture whatever their order in memory. A bottom-up DIB is a
// view whose top row is the last row in memory and whose pitch is negative, so
// every effect works in picture coordinates (y = 0 is the top row).
#pragma once

#include <cstddef>
#include <cstdint>

namespace effects {

template <typename Byte>
struct BasicFrameView {
    Byte* top = nullptr;     // first byte of the top picture row
    ptrdiff_t pitch = 0;     // bytes from one picture row to the one below it
    int width = 0;
    int height = 0;

    Byte* Row(int y) const { return top + y * pitch; }
    Byte* At(int x, int y) const { return top + y * pitch + 3 * x; }
};

using FrameView = BasicFrameView<uint8_t>;
using ConstFrameView = BasicFrameView<const uint8_t>;

inline ConstFrameView AsConst(const FrameView& v) { return {v.top, v.pitch, v.width, v.height}; }

// The view of an RGB24 buffer as a media type describes it: positive height =
// bottom-up, stride = bytes per memory row (0 = the DIB default, 4-byte aligned).
template <typename Byte>
BasicFrameView<Byte> Rgb24View(Byte* data, int width, int dib_height, size_t stride = 0) {
    const int height = dib_height < 0 ? -dib_height : dib_height;
    if (stride == 0) stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const auto s = static_cast<ptrdiff_t>(stride);
    if (dib_height > 0) return {data + (height - 1) * s, -s, width, height};
    return {data, s, width, height};
}

}  // namespace effects
