// FaceTrace: finds the largest skin-coloured region of each frame and draws a
// box round it; the box follows the region from frame to frame, easing
// halfway towards each new position so it does not flicker.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "media/effects/effect.h"

namespace effects {

struct Box {
    int x0, y0, x1, y1;  // half-open, picture coordinates
};

// Skin tones in the Cb/Cr plane (BT.601), bright enough to be lit.
bool IsSkin(uint8_t b, uint8_t g, uint8_t r);

class FaceTracker {
public:
    // The region to box in this frame (after easing), or nothing when no
    // skin region has been seen for a while.
    std::optional<Box> Track(const ConstFrameView& frame);

private:
    std::optional<Box> LargestRegion(const ConstFrameView& frame);

    std::vector<uint8_t> skin_;    // one flag per cell
    std::vector<int> stack_;       // flood-fill work list
    std::vector<uint8_t> seen_;
    double box_[4] = {0, 0, 0, 0};
    bool have_box_ = false;
    int missing_ = 0;  // frames in a row without a region
};

std::unique_ptr<Effect> MakeFaceTrace();

}  // namespace effects
