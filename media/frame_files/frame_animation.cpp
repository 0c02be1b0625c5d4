#include "media/frame_files/frame_animation.h"

namespace frame_files {

const char* DecodeErrorName(DecodeError error) {
    switch (error) {
        case DecodeError::None: return "none";
        case DecodeError::Empty: return "empty";
        case DecodeError::Truncated: return "truncated";
        case DecodeError::Corrupt: return "corrupt";
        case DecodeError::Unsupported: return "unsupported";
        case DecodeError::TooLarge: return "too large";
        case DecodeError::NothingDrawable: return "nothing drawable";
    }
    return "unknown";
}

uint64_t FrameAnimation::TotalDurationMs() const {
    uint64_t total = 0;
    for (const AnimationFrame& frame : frames) total += frame.duration_ms;
    return total;
}

size_t FrameAnimation::PictureBytes() const {
    size_t total = 0;
    for (const AnimationFrame& frame : frames) total += frame.rgba.size();
    return total;
}

}  // namespace frame_files
