#include "pixel_formats/convert_frame.h"

#include "pixel_formats/frame_access.h"

namespace pixel_formats {

bool ConvertFrame(const uint8_t* src, size_t src_size, const FrameFormat& src_format,
                  uint8_t* dst, size_t dst_capacity, const FrameFormat& dst_format) {
    detail::SrcFrame from{src_format.format, {}, src};
    detail::DstFrame to{dst_format.format, {}, dst};
    if (!src || !dst || !ComputeFrameLayout(src_format, &from.layout) ||
        !ComputeFrameLayout(dst_format, &to.layout)) {
        return false;
    }
    if (from.layout.width != to.layout.width || from.layout.height != to.layout.height ||
        from.layout.size > src_size || to.layout.size > dst_capacity) {
        return false;
    }
    if (!detail::ConvertFast(from, to)) detail::ConvertGeneric(from, to);
    return true;
}

bool ConvertFrame(const uint8_t* src, size_t src_size, PixelFormat src_format,
                  uint8_t* dst, size_t dst_capacity, PixelFormat dst_format,
                  int width, int height) {
    return ConvertFrame(src, src_size, {src_format, width, height, 0}, dst, dst_capacity,
                        {dst_format, width, height, 0});
}

}  // namespace pixel_formats
