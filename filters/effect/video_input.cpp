#include "filters/effect/video_input.h"

#include "pixel_formats/convert_frame.h"

namespace effect_filter {

using pixel_formats::PixelFormat;

bool AcceptedInput(const pixel_formats::FrameFormat& f) {
    const int height = f.height < 0 ? -f.height : f.height;
    const bool format = f.format == PixelFormat::kRgb24 || f.format == PixelFormat::kYuy2 || f.format == PixelFormat::kI420;
    return format && f.width >= 1 && f.width <= kMaxSide && height >= 1 && height <= kMaxSide;
}

bool VideoInput::View(const uint8_t* data, size_t length, const pixel_formats::FrameFormat& format,
                      effects::ConstFrameView* view) {
    if (!data || !AcceptedInput(format)) return false;
    pixel_formats::FrameLayout layout;
    if (!pixel_formats::ComputeFrameLayout(format, &layout) || layout.size > length) return false;
    if (format.format == PixelFormat::kRgb24) {
        *view = effects::Rgb24View(data, format.width, format.height, layout.planes[0].stride);
        return true;
    }
    const pixel_formats::FrameFormat rgb{PixelFormat::kRgb24, format.width, layout.height, 0};
    rgb_.resize(pixel_formats::FrameSize(PixelFormat::kRgb24, format.width, layout.height));
    if (!pixel_formats::ConvertFrame(data, length, format, rgb_.data(), rgb_.size(), rgb)) return false;
    *view = effects::Rgb24View<const uint8_t>(rgb_.data(), format.width, layout.height);
    return true;
}

}  // namespace effect_filter
