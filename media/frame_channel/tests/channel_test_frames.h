// Frames whose every byte says which frame they are, so a copy that mixes
// two frames is seen at once.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "media/frame_channel/channel_format.h"

namespace frame_channel_test {

inline void FillFrame(std::vector<uint8_t>& frame, uint64_t sequence) {
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(sequence * 7 + i / 64);
}

inline bool FrameIsWhole(const uint8_t* frame, size_t size, uint64_t sequence) {
    for (size_t i = 0; i < size; ++i) {
        if (frame[i] != static_cast<uint8_t>(sequence * 7 + i / 64)) return false;
    }
    return true;
}

inline frame_channel::FrameTiming TimingOf(uint64_t sequence) {
    frame_channel::FrameTiming timing;
    timing.sample_time = static_cast<int64_t>(sequence) * 333333;
    timing.frame_interval = 333333;
    timing.write_time_us = sequence * 1000 + 5;
    return timing;
}

}  // namespace frame_channel_test
