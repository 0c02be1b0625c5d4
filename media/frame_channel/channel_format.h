// What one channel frame looks like, in the terms of our pixel cores, and
// the mapping between those and the codes stored in the channel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace frame_channel {

struct FrameTiming {
    int64_t sample_time = 0;     // stream time, 100 ns units
    int64_t frame_interval = 0;  // 100 ns units, 0 when unknown
    uint64_t write_time_us = 0;  // the writer's clock when the frame arrived
};

// Stored code of a format; kFormatNone for one the channel does not carry.
uint32_t ToChannelFormat(pixel_formats::PixelFormat format);
bool FromChannelFormat(uint32_t code, pixel_formats::PixelFormat* format);

// Bytes of a frame in `format`, 0 when the description is unusable.
size_t FrameBytes(const pixel_formats::FrameFormat& format);

}  // namespace frame_channel
