// Looks into the frame channel from a test, as one more reader: what the
// video send filter of this or another process has published.
#pragma once

#include <windows.h>

#include <cstdint>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "media/frame_channel/shared_channel.h"

namespace channel_test {

struct SentFrame {
    uint64_t sequence = 0;
    pixel_formats::FrameFormat format{};
    uint64_t write_time_us = 0;
    std::optional<uint32_t> counter;  // the test pattern's frame number, when it shows one
    // Without one: the number read from the picture inverted back (the Invert effect).
    std::optional<uint32_t> inverted_counter;
};

// The test pattern's frame number of an RGB24/YUV frame, read plainly or,
// with `inverted`, from the frame with every byte inverted back.
std::optional<uint32_t> FrameCounter(const uint8_t* data, size_t size, const pixel_formats::FrameFormat& format,
                                     bool inverted);

class ChannelWatch {
public:
    // The latest frame's sequence number now, 0 without a channel or frame.
    uint64_t LatestSequence();
    // Waits until a frame newer than `after` is published; false on timeout.
    bool WaitForFrame(uint64_t after, DWORD timeout_ms, SentFrame* frame);

private:
    bool EnsureOpen();

    frame_channel::SharedChannelReader reader_;
    std::vector<uint8_t> buffer_;
};

// Records, on a thread of its own, when each published test pattern frame
// reached the send filter (the channel's clock, microseconds).
class SentFrameLog {
public:
    SentFrameLog();
    ~SentFrameLog();
    SentFrameLog(const SentFrameLog&) = delete;
    SentFrameLog& operator=(const SentFrameLog&) = delete;

    // Prints median and 99th percentile of "delivered minus sent" for the
    // delivered frames (pattern number, arrival in microseconds of the same
    // clock); a repeat of the frame before it measures nothing. Inverted
    // frames are logged by the number read from them inverted back.
    void PrintLatency(const char* what,
                      const std::vector<std::pair<std::optional<uint32_t>, double>>& delivered);

private:
    void Run();

    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::map<uint32_t, uint64_t> times_;
    std::thread thread_;
};

}  // namespace channel_test
