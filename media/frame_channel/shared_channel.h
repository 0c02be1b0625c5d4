// The frame channel between processes of one logon session: a named file
// mapping in the session's Local\ namespace and two named manual-reset
// events that wake readers, one for frames with an even sequence number and
// one for odd. The writer resets the event of the frame after next before it
// sets the one of the frame it publishes, so every reader, however many, is
// woken without the writer knowing of any of them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/frame_reader.h"
#include "media/frame_channel/frame_writer.h"

namespace frame_channel {

inline constexpr wchar_t kChannelName[] = L"Local\\TalvoroPelloquinFrames-v1";
// Largest frame carried: 1920x1080 in 24-bit RGB (or less in YUV).
inline constexpr uint32_t kMaxFrameBytes = 1920 * 1080 * 3;

// One clock for every process: the performance counter, in milliseconds and
// microseconds.
uint64_t ChannelClockMs();
uint64_t ChannelClockUs();

// Named objects of the channel; every handle owned, closed once.
class ChannelObjects {
public:
    ChannelObjects() = default;
    ChannelObjects(const ChannelObjects&) = delete;
    ChannelObjects& operator=(const ChannelObjects&) = delete;
    ~ChannelObjects() { Close(); }

    HRESULT Create(const wchar_t* name);  // creates or opens, read-write
    HRESULT Open(const wchar_t* name);    // opens an existing channel, read-only
    void Close();
    bool IsOpen() const { return view_ != nullptr; }

    uint8_t* view() const { return view_; }
    size_t size() const { return size_; }
    HANDLE event(uint64_t frame_sequence) const { return events_[frame_sequence & 1]; }

private:
    // Maps the whole of mapping_ and notes the view's size; closes on failure.
    HRESULT MapWholeView(DWORD access);
    HRESULT OpenEvents(const wchar_t* name, bool create);

    HANDLE mapping_ = nullptr;
    uint8_t* view_ = nullptr;
    size_t size_ = 0;
    HANDLE events_[2] = {nullptr, nullptr};
};

class SharedChannelWriter {
public:
    HRESULT Open(const wchar_t* name = kChannelName);
    void Close() { objects_.Close(); }
    bool IsOpen() const { return objects_.IsOpen(); }
    size_t max_frame_bytes() const { return writer_.max_frame_bytes(); }

    // Publishes a frame stamped with the channel clock; false when it was not
    // published (closed channel, unknown format, too large).
    bool Write(const uint8_t* data, size_t size, const pixel_formats::FrameFormat& format,
               int64_t sample_time, int64_t frame_interval, uint64_t received_us);

private:
    ChannelObjects objects_;
    FrameWriter writer_;
};

class SharedChannelReader {
public:
    SharedChannelReader() = default;
    SharedChannelReader(const SharedChannelReader&) = delete;
    SharedChannelReader& operator=(const SharedChannelReader&) = delete;
    ~SharedChannelReader();

    // Fails while no writer has created the channel; try again later.
    HRESULT Open(const wchar_t* name = kChannelName);
    void Close() { objects_.Close(); }
    bool IsOpen() const { return objects_.IsOpen(); }

    bool ReadStatus(WriterStatus* status) const;
    // False once the writer's process has ended, so a crashed sender is
    // noticed at once rather than after its heartbeat goes stale. True when
    // its process cannot be looked at (another user's, say).
    bool WriterRunning(uint32_t process_id);
    ReadResult ReadLatest(uint8_t* dst, size_t capacity, FrameInfo* info) const;

    // Set once the frame after `sequence` is published (null without a
    // channel). Manual-reset and shared by every reader: wait, never reset it.
    HANDLE NextFrameEvent(uint64_t sequence) const {
        return objects_.IsOpen() ? objects_.event(sequence + 1) : nullptr;
    }

private:
    ChannelObjects objects_;
    uint32_t writer_id_ = 0;
    HANDLE writer_process_ = nullptr;  // owned; kept so its id cannot be reused meanwhile
};

}  // namespace frame_channel
