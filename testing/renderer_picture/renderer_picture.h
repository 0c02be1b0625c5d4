// The frame number of the test pattern that a video renderer shows, for
// tests that must see live frames arrive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace renderer_picture {

// `renderer` is the renderer filter or a filter graph holding one (both
// answer IBasicVideo and IVideoWindow). Nothing when no picture or no
// readable frame code is shown.
std::optional<uint32_t> ShownFrameNumber(IUnknown* renderer);

}  // namespace renderer_picture
