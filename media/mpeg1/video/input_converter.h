// Turns a caller's frame (any format of pixel_formats, orientation and stride
// as its media type gives them) into the encoder's padded 4:2:0 picture. The
// area beyond the picture repeats the last column and row, which costs the
// fewest bits and keeps motion search honest at the edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/mpeg1/video/yuv_frame.h"
#include "pixel_formats/pixel_format.h"

namespace mpeg::video {

class InputConverter {
public:
    // False for a format pixel_formats cannot lay out.
    bool Configure(const pixel_formats::FrameFormat& format);
    size_t frame_size() const { return layout_.size; }

    // `out` must be allocated to the coded size. False, with `out` untouched,
    // when `size` is smaller than one frame.
    bool Convert(const uint8_t* data, size_t size, YuvFrame* out);

private:
    bool ReadsPlanesDirectly() const;
    void CopyPlane(const uint8_t* src, size_t stride, int width, int height, Plane* dst) const;

    pixel_formats::FrameFormat format_{};
    pixel_formats::FrameLayout layout_{};
    std::vector<uint8_t> i420_;  // staging for formats that need converting
};

}  // namespace mpeg::video
