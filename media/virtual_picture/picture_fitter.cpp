#include "media/virtual_picture/picture_fitter.h"

#include <cstdlib>

#include "media/virtual_picture/frame_stretch.h"
#include "pixel_formats/convert_frame.h"

namespace virtual_picture {

using pixel_formats::FrameFormat;

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
    // Converting costs per pixel, picking pixels costs per output pixel:
    // convert where the picture is smaller.
    const bool shrinking = int64_t{dst_width} * dst_height <= int64_t{src_width} * src_height;
    const FrameFormat between = shrinking ? FrameFormat{src_format.format, dst_width, dst_format.height}
                                          : FrameFormat{dst_format.format, src_width, src_format.height};
    between_.resize(pixel_formats::FrameSize(between.format, between.width, std::abs(between.height)));
    if (between_.empty()) return false;
    if (shrinking) {
        return StretchFrame(src, src_size, src_format, between_.data(), between_.size(), between) &&
               pixel_formats::ConvertFrame(between_.data(), between_.size(), between, dst, dst_capacity, dst_format);
    }
    return pixel_formats::ConvertFrame(src, src_size, src_format, between_.data(), between_.size(), between) &&
           StretchFrame(between_.data(), between_.size(), between, dst, dst_capacity, dst_format);
}

}  // namespace virtual_picture
