#include "filters/effect/frame_request.h"

#include <cwchar>

#include "filters/effect/video_input.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/frame_overlay.h"

namespace effect_filter {

bool UsableFileName(const wchar_t* name) {
    if (!name || name[0] == 0) return false;
    for (size_t i = 1; i < kMaxPathChars; ++i)
        if (name[i] == 0) return true;
    return false;
}

bool UsableFirstFrameRequest(int width, int height, const uint8_t* buffer, int red, int green, int blue) {
    const auto byte = [](int v) { return v >= 0 && v <= 255; };
    return buffer && width >= 1 && width <= kMaxSide && height >= 1 && height <= kMaxSide && byte(red) &&
           byte(green) && byte(blue);
}

frame_files::DecodeError DecodeForDecoration(const std::vector<uint8_t>& bytes,
                                             std::shared_ptr<const frame_files::FrameAnimation>* out) {
    auto animation = std::make_shared<frame_files::FrameAnimation>();
    frame_files::DecodeOptions options;
    options.max_bytes = kDecorationPictureBytes;
    const auto error = frame_files::DecodeFrameFile(bytes.data(), bytes.size(), animation.get(), options);
    if (error == frame_files::DecodeError::None) *out = std::move(animation);
    return error;
}

frame_files::DecodeError RenderThumbnail(const std::vector<uint8_t>& bytes, int width, int height, uint8_t* buffer,
                                         int red, int green, int blue) {
    frame_files::FrameAnimation animation;
    frame_files::DecodeOptions options;
    options.first_frame_only = true;
    const auto error = frame_files::DecodeFrameFile(bytes.data(), bytes.size(), &animation, options);
    if (error != frame_files::DecodeError::None) return error;
    const auto drawn = frame_files::RenderFirstFrame(animation, width, height, buffer, static_cast<uint8_t>(red),
                                                     static_cast<uint8_t>(green), static_cast<uint8_t>(blue));
    return drawn == frame_files::FirstFrameError::None ? frame_files::DecodeError::None
                                                       : frame_files::DecodeError::Corrupt;
}

}  // namespace effect_filter
