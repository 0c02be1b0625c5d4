// Scaling of straight-alpha RGBA pictures (internal to the overlay helpers).
#pragma once

#include <cstdint>
#include <vector>

namespace frame_files {

// Scales rgba (src_width x src_height, top row first) to dst_width x
// dst_height with a separable triangle filter whose width follows the scale
// (bilinear when enlarging, an average over the footprint when shrinking).
// The result is premultiplied RGBA, top row first.
void ResamplePremultiplied(const uint8_t* rgba, int src_width, int src_height, int dst_width, int dst_height,
                           std::vector<uint8_t>* out);

}  // namespace frame_files
