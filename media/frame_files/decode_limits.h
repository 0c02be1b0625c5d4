// Limits shared by the decoders (internal).
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/frame_files/frame_animation.h"
#include "media/frame_files/frame_decoders.h"

namespace frame_files {

// Bounds the bookkeeping of animations made of tiny frames.
constexpr size_t kMaxFrames = 10000;

// Corrupt for an empty side, TooLarge beyond kMaxSide, None otherwise.
inline DecodeError CheckSides(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return DecodeError::Corrupt;
    if (width > kMaxSide || height > kMaxSide) return DecodeError::TooLarge;
    return DecodeError::None;
}

inline size_t RgbaBytes(int width, int height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

// True while one more frame of frame_bytes keeps the animation within the
// options' limit (every frame of an animation has the same size).
inline bool RoomForFrame(const FrameAnimation& animation, size_t frame_bytes, const DecodeOptions& options) {
    return animation.frames.size() < kMaxFrames && frame_bytes <= options.max_bytes &&
           animation.frames.size() <= (options.max_bytes - frame_bytes) / frame_bytes;
}

}  // namespace frame_files
