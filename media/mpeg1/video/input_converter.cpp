#include "media/mpeg1/video/input_converter.h"

#include <cstring>

#include "pixel_formats/convert_frame.h"

namespace mpeg::video {

using pixel_formats::PixelFormat;

bool InputConverter::Configure(const pixel_formats::FrameFormat& format) {
    if (!pixel_formats::ComputeFrameLayout(format, &layout_)) return false;
    format_ = format;
    if (!ReadsPlanesDirectly()) {
        i420_.resize(pixel_formats::FrameSize(PixelFormat::kI420, layout_.width, layout_.height));
    }
    return true;
}

bool InputConverter::ReadsPlanesDirectly() const {
    return format_.format == PixelFormat::kI420 || format_.format == PixelFormat::kYv12;
}

void InputConverter::CopyPlane(const uint8_t* src, size_t stride, int width, int height, Plane* dst) const {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dst->Row(y);
        std::memcpy(row, src + stride * static_cast<size_t>(y), static_cast<size_t>(width));
        std::memset(row + width, row[width - 1], static_cast<size_t>(dst->width - width));
    }
    for (int y = height; y < dst->height; ++y) {
        std::memcpy(dst->Row(y), dst->Row(height - 1), static_cast<size_t>(dst->width));
    }
}

bool InputConverter::Convert(const uint8_t* data, size_t size, YuvFrame* out) {
    if (data == nullptr || size < layout_.size) return false;
    const int w = layout_.width, h = layout_.height;
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    if (ReadsPlanesDirectly()) {
        // The layout lists planes as Y, U, V whatever their order in memory.
        CopyPlane(data + layout_.planes[0].offset, layout_.planes[0].stride, w, h, &out->y);
        CopyPlane(data + layout_.planes[1].offset, layout_.planes[1].stride, cw, ch, &out->u);
        CopyPlane(data + layout_.planes[2].offset, layout_.planes[2].stride, cw, ch, &out->v);
        return true;
    }
    const pixel_formats::FrameFormat staging{PixelFormat::kI420, w, h, 0};
    if (!pixel_formats::ConvertFrame(data, size, format_, i420_.data(), i420_.size(), staging)) return false;
    const uint8_t* u = i420_.data() + static_cast<size_t>(w) * h;
    const uint8_t* v = u + static_cast<size_t>(cw) * ch;
    CopyPlane(i420_.data(), static_cast<size_t>(w), w, h, &out->y);
    CopyPlane(u, static_cast<size_t>(cw), cw, ch, &out->u);
    CopyPlane(v, static_cast<size_t>(cw), cw, ch, &out->v);
    return true;
}

}  // namespace mpeg::video
