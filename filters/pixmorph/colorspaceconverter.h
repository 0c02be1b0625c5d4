// Per-frame pipeline of the colour-space converter: any accepted input frame
// becomes a 24-bit bottom-up RGB frame (B G R, rows packed at 3*width) of a
// chosen size (nearest neighbour) or enlarged by whole multiples.
//
// ConvertFrame is the fast path (SIMD chosen at run time, passes fused, no
// intermediate frames where the result is the same); oracle::ConvertFrame in
// colorspaceconverter_reference.h is the literal scalar pipeline. Both give the
// same bytes for every input and refuse the same frames.
//
// Bounds: nothing is read past InputFrame::length and nothing written past any
// capacity; a frame that does not fit is refused with nothing written.
// YUV frames are top-down whatever the sign of their height, so only |height|
// counts for them; a 24-bit RGB input passes in its own row order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixmorph {

enum class Subtype : uint8_t { kRgb24, kI420, kYuy2, kYuyv, kUyvy };
enum class ScaleMode : uint8_t { kSize, kMultiple };

enum class Status : int {
    kOk = 0,
    kBadArgument = -1,    // null buffer, unknown subtype or mode
    kBadSize = -2,        // a width, height or multiple outside 1..kMaxDimension
    kShortInput = -3,     // actual length below InputFrameSize
    kWorkTooSmall = -4,   // a work buffer below Yuy2WorkSize / RgbWorkSize
    kOutputTooSmall = -5, // output capacity below OutputFrameSize
    kSizeMismatch = -6,   // multiple mode: output size is not input size times multiples
    kNoMemory = -7,       // a temporary row could not be had; the output is cleared
};

// Every picture dimension (input, output, input times multiple) stays within
// this, which keeps every byte count and fixed-point product far from overflow.
inline constexpr int kMaxDimension = 16384;

struct InputFrame {
    const uint8_t* data;
    size_t length;  // the sample's actual length
    Subtype subtype;
    int width;
    int height;  // signed biHeight
};

// Owned by the caller; contents on entry do not matter and are not kept.
struct WorkBuffers {
    uint8_t* yuy2;  // unused for 24-bit RGB input
    size_t yuy2_capacity;
    uint8_t* rgb;
    size_t rgb_capacity;
};

struct OutputFrame {
    uint8_t* data;
    size_t capacity;
    ScaleMode mode;
    int width;   // in multiple mode it must be input width * multiple_x
    int height;  // in multiple mode it must be |input height| * multiple_y
    int multiple_x;
    int multiple_y;
};

// Sizes are 0 for dimensions outside 1..kMaxDimension.
// Bytes of a 24-bit DIB with 4-byte aligned rows; |height| counts.
size_t DibSize24(int width, int height);
// The least actual length ConvertFrame accepts for a frame.
size_t InputFrameSize(Subtype subtype, int width, int height);
// The least work buffer sizes ConvertFrame accepts for an input of this size.
size_t Yuy2WorkSize(Subtype subtype, int width, int height);
size_t RgbWorkSize(int width, int height);
// The least output capacity: the DIB size of the output picture, which is
// cleared and then filled with rows packed at 3 * width bytes.
size_t OutputFrameSize(int width, int height);

// Builds the lookup tables of the reference conversion; safe to call from any
// thread, any number of times. The fast path needs no tables.
void InitYuvTables();

Status ConvertFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out);

// Column and row steps of the size mode, 16.15 fixed point: the quotient
// source / destination times 32768, truncated. Pixmorph keeps the quotient at
// single precision first; Scalvane forms the whole product in double.
enum class StepPrecision : uint8_t { kSingle, kDouble };
int32_t ScaleStep(int source_size, int destination_size, StepPrecision precision);

#ifdef PIXMORPH_FULL_PRECISION_STEPS
inline constexpr StepPrecision kBuildStepPrecision = StepPrecision::kDouble;
#else
inline constexpr StepPrecision kBuildStepPrecision = StepPrecision::kSingle;
#endif

// Run-time instruction set choice. The best level the CPU and OS support is
// used unless a lower one is forced (tests, comparisons); forcing a level the
// CPU lacks selects the best available below it.
enum class SimdLevel : uint8_t { kScalar, kSse2, kSsse3, kAvx2 };
SimdLevel DetectedSimdLevel();
SimdLevel ActiveSimdLevel();
void ForceSimdLevel(SimdLevel level);
const char* SimdLevelName(SimdLevel level);

}  // namespace pixmorph
