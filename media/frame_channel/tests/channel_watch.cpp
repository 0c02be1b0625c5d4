#include "media/frame_channel/tests/channel_watch.h"

#include "test_signals/test_pattern.h"

namespace channel_test {

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
                frame->counter = test_signals::DecodeFrameCounter(buffer_.data(), info.size, info.format.format,
                                                                  info.format.width, info.format.height);
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

}  // namespace channel_test
