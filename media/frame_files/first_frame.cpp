#include "media/frame_files/frame_overlay.h"
#include "media/frame_files/frame_resample.h"

namespace frame_files {

FirstFrameError RenderFirstFrame(const FrameAnimation& animation, int width, int height, uint8_t* buffer,
                                 uint8_t red, uint8_t green, uint8_t blue) {
    if (buffer == nullptr) return FirstFrameError::NullBuffer;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return FirstFrameError::BadSize;
    if (animation.frames.empty() ||
        animation.frames[0].rgba.size() != static_cast<size_t>(animation.width) * animation.height * 4)
        return FirstFrameError::NoFrame;
    std::vector<uint8_t> scaled;
    ResamplePremultiplied(animation.frames[0].rgba.data(), animation.width, animation.height, width, height,
                          &scaled);
    const uint8_t fill[3] = {red, green, blue};
    const size_t pixels = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned inverse = 255u - scaled[i * 4 + 3];
        for (int c = 0; c < 3; ++c)
            buffer[i * 3 + c] = static_cast<uint8_t>(scaled[i * 4 + c] + (fill[c] * inverse + 127) / 255);
    }
    return FirstFrameError::None;
}

}  // namespace frame_files
