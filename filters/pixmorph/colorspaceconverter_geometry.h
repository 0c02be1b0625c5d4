// Frame geometry shared by the reference and the fast pipeline, so that both
// accept and refuse exactly the same frames.
#pragma once

#include <climits>
#include <cstddef>

#include "filters/pixmorph/colorspaceconverter.h"

namespace pixmorph::detail {

inline bool IsYuv(Subtype subtype) { return subtype != Subtype::kRgb24; }
inline int AbsHeight(int height) { return height >= 0 ? height : height == INT_MIN ? INT_MAX : -height; }
inline bool InRange(int n) { return n >= 1 && n <= kMaxDimension; }
inline bool SizeInRange(int width, int height) { return InRange(width) && InRange(AbsHeight(height)); }
inline size_t RoundUp4(size_t n) { return (n + 3) & ~static_cast<size_t>(3); }

// Where the unpacking of an I420 frame reads its chroma: the plane offsets come
// from the integer part of width*rows*1.5 (4/6 and 5/6 of it), and one U and
// one V byte is read per pixel pair of every row pair.
struct I420Layout {
    size_t u_offset;
    size_t v_offset;
    size_t chroma_count;  // bytes read from each chroma plane
    size_t end;           // one past the last byte read
};
I420Layout I420LayoutOf(int width, int rows);

// A frame that passed CheckFrame; rows is |input height|.
struct FrameGeometry {
    int width;
    int rows;
    size_t yuy2_length;  // 2 * width * rows
    size_t rgb_size;     // DIB size of width by rows
    int out_width;
    int out_height;
    size_t out_size;  // DIB size of the output
};

Status CheckFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out, FrameGeometry* geometry);

}  // namespace pixmorph::detail
