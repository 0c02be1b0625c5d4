#include "filters/pixmorph/colorspaceconverter_geometry.h"

#include <algorithm>
#include <cstdint>

namespace pixmorph {

namespace {

bool KnownSubtype(Subtype subtype) {
    switch (subtype) {
    case Subtype::kRgb24:
    case Subtype::kI420:
    case Subtype::kYuy2:
    case Subtype::kYuyv:
    case Subtype::kUyvy: return true;
    }
    return false;
}

}  // namespace

using detail::InRange;
using detail::SizeInRange;

size_t DibSize24(int width, int height) {
    if (!SizeInRange(width, height)) return 0;
    const size_t row = ((static_cast<size_t>(width) * 24 + 31) & ~static_cast<size_t>(31)) / 8;
    return row * static_cast<size_t>(detail::AbsHeight(height));
}

size_t OutputFrameSize(int width, int height) { return DibSize24(width, height); }

size_t RgbWorkSize(int width, int height) { return DibSize24(width, height); }

size_t Yuy2WorkSize(Subtype subtype, int width, int height) {
    if (!detail::IsYuv(subtype) || !SizeInRange(width, height)) return 0;
    // UYVY is swapped in whole 4-byte groups, which may reach 2 bytes past the image.
    return detail::RoundUp4(2 * static_cast<size_t>(width) * detail::AbsHeight(height));
}

size_t InputFrameSize(Subtype subtype, int width, int height) {
    if (!SizeInRange(width, height)) return 0;
    const size_t pixels = static_cast<size_t>(width) * detail::AbsHeight(height);
    switch (subtype) {
    case Subtype::kRgb24: return 3 * pixels;
    case Subtype::kI420: return detail::I420LayoutOf(width, detail::AbsHeight(height)).end;
    case Subtype::kYuy2:
    case Subtype::kYuyv:
    case Subtype::kUyvy: return 2 * pixels;
    }
    return 0;
}

namespace detail {

I420Layout I420LayoutOf(int width, int rows) {
    const size_t pixels = static_cast<size_t>(width) * rows;
    const auto total = static_cast<size_t>(static_cast<double>(width) * rows * 1.5);
    I420Layout layout;
    layout.u_offset = total * 4 / 6;
    layout.v_offset = total * 5 / 6;
    layout.chroma_count = static_cast<size_t>((width + 1) / 2) * ((rows + 1) / 2);
    layout.end = std::max(pixels, layout.v_offset + layout.chroma_count);
    return layout;
}

namespace {

Status CheckOutput(const FrameGeometry& g, const OutputFrame& out) {
    if (out.mode == ScaleMode::kMultiple) {
        if (out.multiple_x < 1 || out.multiple_y < 1) return Status::kBadSize;
        if (out.multiple_x > kMaxDimension / g.width || out.multiple_y > kMaxDimension / g.rows)
            return Status::kBadSize;
        if (out.width != g.width * out.multiple_x || out.height != g.rows * out.multiple_y)
            return Status::kSizeMismatch;
    } else if (out.mode != ScaleMode::kSize) {
        return Status::kBadArgument;
    }
    if (!InRange(out.width) || !InRange(out.height)) return Status::kBadSize;
    if (out.capacity < OutputFrameSize(out.width, out.height)) return Status::kOutputTooSmall;
    return Status::kOk;
}

}  // namespace

Status CheckFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out, FrameGeometry* g) {
    if (!KnownSubtype(in.subtype) || !in.data || !out.data) return Status::kBadArgument;
    if (!SizeInRange(in.width, in.height)) return Status::kBadSize;
    g->width = in.width;
    g->rows = AbsHeight(in.height);
    g->yuy2_length = 2 * static_cast<size_t>(g->width) * g->rows;
    g->rgb_size = DibSize24(g->width, g->rows);
    if (const Status s = CheckOutput(*g, out); s != Status::kOk) return s;
    g->out_width = out.width;
    g->out_height = out.height;
    g->out_size = OutputFrameSize(out.width, out.height);
    if (in.length < InputFrameSize(in.subtype, in.width, in.height)) return Status::kShortInput;
    if (IsYuv(in.subtype) && (!work.yuy2 || work.yuy2_capacity < Yuy2WorkSize(in.subtype, g->width, g->rows)))
        return Status::kWorkTooSmall;
    if (!work.rgb || work.rgb_capacity < g->rgb_size) return Status::kWorkTooSmall;
    return Status::kOk;
}

}  // namespace detail
}  // namespace pixmorph
