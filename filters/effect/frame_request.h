// Checks and decoding behind the frame calls, in plain C++: the file's bytes
// come from the caller (the filter reads the file), the checks leave the
// caller's buffer and the current decoration alone when they fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/frame_files/frame_animation.h"

namespace effect_filter {

// Windows' MAX_PATH: a file name must end within this many characters.
inline constexpr size_t kMaxPathChars = 260;
// Larger files are refused before reading.
inline constexpr uint64_t kMaxFrameFileBytes = uint64_t{64} << 20;

// True when `name` is not null, not empty and its terminator lies within kMaxPathChars.
bool UsableFileName(const wchar_t* name);

// Decoded pictures of one decoration at most; larger files are refused.
inline constexpr size_t kDecorationPictureBytes = size_t{40} << 20;

// A first-frame request: sizes 1..4096, a buffer, colour values 0..255.
bool UsableFirstFrameRequest(int width, int height, const uint8_t* buffer, int red, int green, int blue);

// The whole animation of a frame file, for a decoration (kind by content).
frame_files::DecodeError DecodeForDecoration(const std::vector<uint8_t>& bytes,
                                             std::shared_ptr<const frame_files::FrameAnimation>* out);

// The first picture into the buffer as the thumbnail contract says (R G B, top
// row first, rows packed, transparent parts in the given colour); nothing is
// written on failure.
frame_files::DecodeError RenderThumbnail(const std::vector<uint8_t>& bytes, int width, int height, uint8_t* buffer,
                                         int red, int green, int blue);

}  // namespace effect_filter
