// The picture our fake camera delivers: colour bars that scroll sideways, a
// box that bounces around, the frame number in large digits and, from
// 160x120 up, the frame number again as a black-and-white cell code along
// the bottom (frame_code.h) that DecodeFrameCounter reads back after colour
// conversion, row-order flips and nearest-neighbour scaling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "pixel_formats/pixel_format.h"
#include "test_signals/canvas.h"

namespace test_signals {

// Keeps its drawing surface between frames, so a streaming source does not
// allocate per frame. Not thread-safe; one per stream.
class TestPatternRenderer {
public:
    // Renders frame `frame_number` in `format` (height sign and stride as a
    // media type gives them). False, with nothing written, when the format is
    // invalid or the frame does not fit in `capacity`.
    bool Render(uint32_t frame_number, const pixel_formats::FrameFormat& format, uint8_t* dst, size_t capacity);

    // Small text (say the device name) shown at the bottom left of the
    // picture; see dot_font.h for the characters it can show.
    void set_label(std::string label) { label_ = std::move(label); }

private:
    Canvas canvas_;
    std::string label_;
};

// One-off form of TestPatternRenderer::Render with the default stride and no label.
bool RenderTestPattern(uint32_t frame_number, pixel_formats::PixelFormat format, int width, int height,
                       uint8_t* dst, size_t capacity);

// Reads the cell code of a frame rendered by TestPatternRenderer, possibly
// converted or scaled since. `height` follows the media-type convention
// (positive height = bottom-up RGB). Nothing when no valid code is found or
// the buffer is shorter than the frame.
std::optional<uint32_t> DecodeFrameCounter(const uint8_t* frame, size_t length, pixel_formats::PixelFormat format,
                                           int width, int height);

}  // namespace test_signals
