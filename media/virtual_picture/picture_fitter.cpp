#include "media/virtual_picture/picture_fitter.h"

#include <cstdlib>
#include <cstring>

#include "pixel_formats/convert_frame.h"

namespace virtual_picture {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

void StretchRgb24(const uint8_t* src, int src_width, int src_height, uint8_t* dst, int dst_width, int dst_height) {
    const size_t src_stride = static_cast<size_t>(src_width) * 3;
    for (int y = 0; y < dst_height; ++y) {
        // Sample at pixel centres, so both edges are taken equally.
        const int sy = static_cast<int>((2 * static_cast<int64_t>(y) + 1) * src_height / (2 * dst_height));
        const uint8_t* in = src + src_stride * sy;
        uint8_t* out = dst + static_cast<size_t>(dst_width) * 3 * y;
        for (int x = 0; x < dst_width; ++x) {
            const int sx = static_cast<int>((2 * static_cast<int64_t>(x) + 1) * src_width / (2 * dst_width));
            std::memcpy(out + 3 * x, in + 3 * sx, 3);
        }
    }
}

bool PictureFitter::Fit(const uint8_t* src, size_t src_size, const FrameFormat& src_format, uint8_t* dst,
                        size_t dst_capacity, const FrameFormat& dst_format) {
    const int src_width = src_format.width, src_height = std::abs(src_format.height);
    const int dst_width = dst_format.width, dst_height = std::abs(dst_format.height);
    if (src_width == dst_width && src_height == dst_height) {
        return pixel_formats::ConvertFrame(src, src_size, src_format, dst, dst_capacity, dst_format);
    }
    if (src_width <= 0 || src_height <= 0 || dst_width <= 0 || dst_height <= 0 ||
        src_width > pixel_formats::kMaxDimension || src_height > pixel_formats::kMaxDimension ||
        dst_width > pixel_formats::kMaxDimension || dst_height > pixel_formats::kMaxDimension) {
        return false;
    }
    const FrameFormat source_rgb{PixelFormat::kRgb24, src_width, -src_height, src_width * 3};
    const FrameFormat scaled_rgb{PixelFormat::kRgb24, dst_width, -dst_height, dst_width * 3};
    source_rgb_.resize(static_cast<size_t>(src_width) * 3 * src_height);
    scaled_rgb_.resize(static_cast<size_t>(dst_width) * 3 * dst_height);
    if (!pixel_formats::ConvertFrame(src, src_size, src_format, source_rgb_.data(), source_rgb_.size(), source_rgb)) {
        return false;
    }
    StretchRgb24(source_rgb_.data(), src_width, src_height, scaled_rgb_.data(), dst_width, dst_height);
    return pixel_formats::ConvertFrame(scaled_rgb_.data(), scaled_rgb_.size(), scaled_rgb, dst, dst_capacity,
                                       dst_format);
}

}  // namespace virtual_picture
