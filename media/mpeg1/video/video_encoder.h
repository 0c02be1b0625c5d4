// MPEG-1 video encoder (ISO/IEC 11172-2): I and P pictures in groups of a
// fixed length, one slice per macroblock row, half-pixel motion vectors.
//
// Usage: Create once per stream, Encode every frame in presentation order
// (each call returns exactly one coded picture, which can be handed to the
// multiplexer with the frame's time stamp: pictures are never reordered),
// Finish at the end for the sequence_end_code. Not thread-safe; one per stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixel_formats/pixel_format.h"

namespace mpeg {

struct VideoEncoderConfig {
    // Format, size and layout of the frames given to Encode, as the media type
    // says (positive height = bottom-up RGB; stride 0 = the format's default).
    pixel_formats::FrameFormat input{pixel_formats::PixelFormat::kI420, 0, 0, 0};
    // 100 ns units (AvgTimePerFrame); the nearest MPEG-1 picture rate is
    // used. 0 or less means 30 frames per second.
    int64_t frame_duration = 333333;
    int quality = 1;      // 0 low, 1 normal, 2 high
    int gop_length = 15;  // pictures per group: one I, then P (1..1023)
};

// Accepted picture sizes: the header's 12-bit fields, and at most 1920x1088
// worth of pixels so memory stays modest (a few MB per encoder).
inline constexpr int kMinVideoDimension = 16;
inline constexpr int kMaxVideoDimension = 4095;
inline constexpr int kMaxVideoPixels = 1920 * 1088;

enum class PictureType : uint8_t { kIntra = 1, kPredicted = 2 };

struct EncodedPicture {
    const uint8_t* data = nullptr;  // valid until the next call on the encoder
    size_t size = 0;
    PictureType type = PictureType::kIntra;
    uint32_t number = 0;  // pictures encoded before this one
};

class VideoEncoder {
public:
    // Nothing for an unusable configuration (size, format, quality, GOP length).
    static std::unique_ptr<VideoEncoder> Create(const VideoEncoderConfig& config);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Bytes one input frame must have at least.
    size_t input_frame_size() const;
    // Sequence header values, for the multiplexer.
    int bit_rate() const;          // bits per second (the quality's ceiling)
    int buffer_size_bits() const;  // vbv_buffer_size
    double picture_rate() const;   // frames per second of the coded picture_rate

    // Codes the next picture; the first of each group carries the sequence
    // and group headers. False, with nothing coded, for a short buffer.
    bool Encode(const uint8_t* frame, size_t size, EncodedPicture* out);
    // Shows the previous picture again at a cost of a few bytes (a P picture
    // of skipped macroblocks, or a fresh I picture where a group starts): how
    // a capture filter fills a dropped frame to keep the rate. False before
    // the first Encode.
    bool EncodeRepeat(EncodedPicture* out);
    // The sequence_end_code; a later Encode starts a new sequence.
    std::vector<uint8_t> Finish();

private:
    struct State;
    explicit VideoEncoder(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

}  // namespace mpeg
