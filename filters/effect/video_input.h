// The input frame as 24-bit RGB: RGB24 frames are read in place, YUY2 and
// I420 are converted into a buffer kept between frames. Plain C++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/effects/frame_view.h"
#include "pixel_formats/pixel_format.h"

namespace effect_filter {

// Largest picture side the filter takes, in and out.
inline constexpr int kMaxSide = 4096;

// True for the formats the input pin accepts at a size within 1..kMaxSide.
bool AcceptedInput(const pixel_formats::FrameFormat& format);

class VideoInput {
public:
    // A view of the frame in `data` (length bytes) as RGB24; false, with
    // nothing read past `length`, when the frame does not fit or the format is not taken.
    bool View(const uint8_t* data, size_t length, const pixel_formats::FrameFormat& format,
              effects::ConstFrameView* view);

private:
    std::vector<uint8_t> rgb_;  // converted frames, bottom-up at the default stride
};

}  // namespace effect_filter
