// What the virtual webcam shows while no sender delivers: a calm blue card
// with the device's name and "no picture" written on it, so a user sees at
// once which camera this is and that it is waiting, not broken.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace virtual_picture {

inline constexpr char kPlaceholderTitle[] = "Talvoro Pelloquin";
inline constexpr char kPlaceholderNotice[] = "no picture";

// Draws the card in `format`; false when the format is unusable or the
// frame does not fit in `capacity`.
bool RenderPlaceholder(const pixel_formats::FrameFormat& format, uint8_t* dst, size_t capacity);

}  // namespace virtual_picture
