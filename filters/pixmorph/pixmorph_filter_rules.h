// The converter filter's sizing decisions, kept free of Win32 so that the
// host tests run them natively: what output size to propose, how much to ask
// of the allocator, how large the work buffers must be, when a sample proves
// that upstream changed its picture size, and which pipeline mode a frame may
// use against the output type that is actually connected.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filters/pixmorph/colorspaceconverter.h"

namespace pixmorph {

// An input picture as its media type describes it; height is the signed biHeight.
struct Picture {
    Subtype subtype;
    int width;
    int height;
};

// What IPixmorphControl holds.
struct ControlValues {
    bool multiple_mode;
    int width;
    int height;
    int multiple_x;
    int multiple_y;
};

// The per-frame part of a proposal, kept with the output type it produced.
struct FramePlan {
    bool multiple_mode;
    int multiple_x;
    int multiple_y;
};

// Size mode: the stored size. Multiple mode: the input size times the
// multiples; the output is a bottom-up DIB whatever the input's row order, so
// the input height counts without its sign. False when the result is outside
// 1..kMaxDimension (nothing that size can be converted).
bool ProposedOutputSize(const ControlValues& values, int input_width, int input_height, int* width, int* height);

// 2 x the larger sample size, at least 65536 when the input's samples vary in
// size. 0 when the request would not fit a signed 32-bit buffer size.
uint32_t AllocatorRequest(uint32_t output_sample_size, uint32_t input_sample_size, bool input_fixed_size);

struct WorkSizes {
    size_t yuy2;
    size_t rgb;
};

// The least work buffers that hold the images of this input (0 for a size the
// pipeline refuses anyway).
WorkSizes WorkNeeds(const Picture& input);

// Pixmorph sizes both work buffers by the allocator request, Scalvane by twice
// the input type's sample size; either way each is raised to what the current
// input needs, so that a variable-size input still gets room for a frame.
enum class WorkRule { kAllocatorRequest, kTwiceInputSample };
WorkSizes WorkBufferSizes(WorkRule rule, uint32_t request, uint32_t input_sample_size, const Picture& input);

// Bytes one frame takes as its type declares it: the declared image size
// when there is one, else the subtype's packed layout.
size_t DeclaredFrameBytes(const Picture& picture, uint32_t declared_image_size);

// A sample proves an upstream size change when its actual length is the
// frame size of the candidate type and not that of the current type.
inline bool LengthConfirmsSize(size_t actual_length, size_t candidate_bytes, size_t current_bytes) {
    return actual_length == candidate_bytes && actual_length != current_bytes;
}

// What one frame may do against the connected output size. Replication only
// while the output is still exactly the input times the planned multiples;
// once upstream has changed size, the frame is scaled into the connected
// output instead, which never needs more room than the output type declares.
struct FrameShape {
    ScaleMode mode;
    int multiple_x;
    int multiple_y;
};
FrameShape ShapeForFrame(const FramePlan& plan, int input_width, int input_height, int output_width,
                         int output_height);

}  // namespace pixmorph
