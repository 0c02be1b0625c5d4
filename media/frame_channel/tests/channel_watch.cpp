#include "media/frame_channel/tests/channel_watch.h"

#include <algorithm>
#include <cstdio>

#include "test_signals/test_pattern.h"

namespace channel_test {

std::optional<uint32_t> FrameCounter(const uint8_t* data, size_t size, const pixel_formats::FrameFormat& format,
                                     bool inverted) {
    if (!inverted) return test_signals::DecodeFrameCounter(data, size, format.format, format.width, format.height);
    std::vector<uint8_t> back(data, data + size);
    for (uint8_t& v : back) v = static_cast<uint8_t>(255 - v);
    return test_signals::DecodeFrameCounter(back.data(), size, format.format, format.width, format.height);
}

bool ChannelWatch::EnsureOpen() { return reader_.IsOpen() || SUCCEEDED(reader_.Open()); }

uint64_t ChannelWatch::LatestSequence() {
    frame_channel::WriterStatus status;
    return EnsureOpen() && reader_.ReadStatus(&status) ? status.frame_sequence : 0;
}

bool ChannelWatch::WaitForFrame(uint64_t after, DWORD timeout_ms, SentFrame* frame) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    buffer_.resize(frame_channel::kMaxFrameBytes);
    for (;;) {
        if (EnsureOpen()) {
            frame_channel::FrameInfo info;
            if (reader_.ReadLatest(buffer_.data(), buffer_.size(), &info) == frame_channel::ReadResult::kFrame &&
                info.frame_sequence > after) {
                frame->sequence = info.frame_sequence;
                frame->format = info.format;
                frame->write_time_us = info.timing.write_time_us;
                frame->counter = FrameCounter(buffer_.data(), info.size, info.format, false);
                if (!frame->counter) frame->inverted_counter = FrameCounter(buffer_.data(), info.size, info.format, true);
                return true;
            }
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const DWORD left = static_cast<DWORD>(deadline - now);
        // Woken by the writer's next frame, or looking again soon without a channel.
        const HANDLE next = reader_.NextFrameEvent(after);
        if (next != nullptr) {
            WaitForSingleObject(next, left < 20 ? left : 20);
        } else {
            Sleep(left < 20 ? left : 20);
        }
    }
}

SentFrameLog::SentFrameLog() : thread_([this] { Run(); }) {}

SentFrameLog::~SentFrameLog() {
    stop_ = true;
    thread_.join();
}

void SentFrameLog::Run() {
    ChannelWatch watch;
    uint64_t after = watch.LatestSequence();
    while (!stop_) {
        SentFrame frame;
        if (!watch.WaitForFrame(after, 100, &frame)) continue;
        after = frame.sequence;
        const std::optional<uint32_t> counter = frame.counter ? frame.counter : frame.inverted_counter;
        if (!counter) continue;
        std::lock_guard<std::mutex> lock(lock_);
        times_[*counter] = frame.write_time_us;
    }
}

void SentFrameLog::PrintLatency(const char* what,
                                const std::vector<std::pair<std::optional<uint32_t>, double>>& delivered) {
    std::vector<double> us;
    {
        std::lock_guard<std::mutex> lock(lock_);
        for (size_t i = 0; i < delivered.size(); ++i) {
            const std::optional<uint32_t>& counter = delivered[i].first;
            if (!counter || (i > 0 && delivered[i - 1].first == counter)) continue;
            const auto it = times_.find(*counter);
            if (it != times_.end()) us.push_back(delivered[i].second - double(it->second));
        }
    }
    if (us.empty()) return;
    std::sort(us.begin(), us.end());
    std::printf("[ figures  ] %s: send filter receive -> device delivery, %zu frames: median %.2f ms, "
                "99th percentile %.2f ms\n",
                what, us.size(), us[us.size() / 2] / 1000.0, us[std::min(us.size() - 1, us.size() * 99 / 100)] / 1000.0);
}

}  // namespace channel_test
