// Brings a frame of any size and format to the size and format a reading
// program negotiated: the picture is stretched over the whole output by
// nearest-neighbour sampling and converted, scaling at whichever end has
// fewer pixels. Keeps its work buffer between frames; one per stream, not
// thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixel_formats/pixel_format.h"

namespace virtual_picture {

class PictureFitter {
public:
    // False, with nothing promised about dst, for an unusable format or a
    // buffer shorter than its frame.
    bool Fit(const uint8_t* src, size_t src_size, const pixel_formats::FrameFormat& src_format, uint8_t* dst,
             size_t dst_capacity, const pixel_formats::FrameFormat& dst_format);

private:
    std::vector<uint8_t> between_;  // the frame after its first step
};

}  // namespace virtual_picture
