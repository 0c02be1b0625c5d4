// Playing a decoded frame file over video: which frame shows at a stream
// time, the frame prepared once for an output size, the per-frame blend onto
// DirectShow RGB24, and the first-frame thumbnail.
//
// Scaling: the picture is stretched to the target size by a separable
// triangle filter on premultiplied colour: bilinear when enlarging, averaging
// over each target pixel's footprint when shrinking. Premultiplying keeps the
// key colour of transparent pixels from bleeding into the edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/frame_files/frame_animation.h"

namespace frame_files {

// Index of the frame showing at stream_time (100 ns units, as REFERENCE_TIME).
// Looping animations wrap by their total duration; others hold the last frame.
// Negative times show frame 0.
size_t FrameIndexAt(const FrameAnimation& animation, int64_t stream_time_100ns);

// One animation frame at one output size, in the layout of the video it is
// laid on: rows bottom-up like DirectShow RGB24, colour premultiplied by alpha.
struct PreparedOverlay {
    enum class SpanKind : uint8_t { Opaque, Partial };
    struct Span {
        int32_t start;   // first pixel of the span in its row
        int32_t length;  // pixels
        SpanKind kind;
    };
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;        // width * height * 3, premultiplied B, G, R, bottom row first
    std::vector<uint8_t> inverse3;   // 255 - alpha, repeated for each of the 3 bytes of a pixel
    // Per row, the spans to touch: Opaque ones are copied, Partial ones blended
    // (they may take in opaque or transparent pixels, for which blending is exact).
    std::vector<Span> spans;
    std::vector<uint32_t> row_spans; // height + 1 offsets into spans: row y is [row_spans[y], row_spans[y + 1])
};

// Scales frame frame_index of animation to width x height (1..kMaxSide) into
// *out. False for a bad index or size.
bool PrepareOverlay(const FrameAnimation& animation, size_t frame_index, int width, int height,
                    PreparedOverlay* out);

// Lays the overlay onto a DirectShow RGB24 picture of the overlay's size (B, G,
// R bytes, bottom row first, stride bytes from one row to the next; a
// negative stride walks a top-down buffer from its last row):
// transparent parts keep the camera, opaque parts take the frame, partial
// alpha blends the two.
void BlendOverlay(const PreparedOverlay& overlay, uint8_t* picture, ptrdiff_t stride);

enum class FirstFrameError { None = 0, NullBuffer, BadSize, NoFrame };

// The animation's first picture scaled to width x height into buffer
// (width * height * 3 bytes: R, G, B, top row first, rows packed), its
// transparent parts filled with (red, green, blue) and partial alpha blended
// against that colour. Sizes must be 1..kMaxSide; on failure nothing is written.
FirstFrameError RenderFirstFrame(const FrameAnimation& animation, int width, int height,
                                 uint8_t* buffer, uint8_t red, uint8_t green, uint8_t blue);

}  // namespace frame_files
