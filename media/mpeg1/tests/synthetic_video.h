// A natural-looking test sequence in I420: a drifting colour gradient, a
// textured disc and a striped box moving in different directions, a still
// patch of fine detail, and fresh sensor-like noise in every frame. Frames
// depend only on their number and size, so a test can regenerate any frame.
#pragma once

#include <cstdint>
#include <vector>

namespace mpeg::testing {

std::vector<uint8_t> SyntheticFrame(int width, int height, int number);

}  // namespace mpeg::testing
