// A decoded frame file (picture frame, animated GIF or Flash movie): equal-
// sized RGBA pictures with their display times. Plain C++, shared by the
// decoders, the overlay helpers and the effect filter.
//
// Transparency: A = 0 shows the camera, 255 hides it. 32-bit bitmaps whose
// alpha channel is not all zero carry their own alpha; every other bitmap
// (8-, 24-bit, and 32-bit with an all-zero alpha channel) is opaque except
// where a pixel is exactly the key colour magenta (255, 0, 255). GIF frames
// are transparent where they use their transparent index or leave the
// logical screen uncovered; Flash movies are opaque (their background colour).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace frame_files {

// Limits that hostile files run into; a decode beyond them fails with TooLarge.
constexpr int kMaxSide = 4096;
constexpr size_t kMaxAnimationBytes = size_t{64} << 20;  // all frames' RGBA together

enum class DecodeError {
    None = 0,
    Empty,            // no bytes at all
    Truncated,        // the data ends before the format says it does
    Corrupt,          // impossible values, broken compression
    Unsupported,      // a valid file of a kind or variant we do not read
    TooLarge,         // sides above kMaxSide or decoded size above the limit
    NothingDrawable,  // a valid movie without a single picture we can draw
};

// A short English name of the error, for trace lines and test messages.
const char* DecodeErrorName(DecodeError error);

constexpr uint8_t kKeyRed = 255, kKeyGreen = 0, kKeyBlue = 255;

struct AnimationFrame {
    std::vector<uint8_t> rgba;  // width * height * 4: R, G, B, A; top row first, rows packed
    uint32_t duration_ms = 0;   // how long this frame shows; at least 1 in a decoded animation
};

struct FrameAnimation {
    int width = 0;
    int height = 0;
    std::vector<AnimationFrame> frames;  // never empty after a successful decode
    bool loops = true;                   // after the last frame the first one follows

    // Sum of the frame durations, in milliseconds.
    uint64_t TotalDurationMs() const;
    // Bytes held by the pictures.
    size_t PictureBytes() const;
};

}  // namespace frame_files
