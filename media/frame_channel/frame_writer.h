// The one writer of a frame channel: copies each frame into the next slot
// and publishes it. It never waits: a reader still copying an older slot is
// simply not disturbed until the writer has come round to that slot again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/frame_channel/channel_format.h"

namespace frame_channel {

class FrameWriter {
public:
    // Lays the channel out in `size` bytes at `base`, or takes over a channel
    // an earlier writer left there, continuing its counters so that readers
    // holding old values cannot mistake a new frame for one they copied.
    // False when the memory is too small for a header and three slots.
    bool Attach(uint8_t* base, size_t size, uint32_t process_id);

    // Largest frame a slot holds; 0 before Attach.
    size_t max_frame_bytes() const { return slot_capacity_; }
    // Sequence number the next published frame will carry.
    uint64_t next_sequence() const { return frame_sequence_ + 1; }

    // Publishes one frame (`size` may exceed the frame's bytes; the rest is
    // ignored). False, with nothing published, for an unknown format or a
    // frame that does not fit. `now_ms` becomes the writer's heartbeat.
    bool Write(const uint8_t* data, size_t size, const pixel_formats::FrameFormat& format, const FrameTiming& timing,
               uint64_t now_ms);

private:
    bool TakeOver(size_t size);
    void LayOut();

    uint8_t* base_ = nullptr;
    uint32_t slot_capacity_ = 0;
    uint32_t slot_count_ = 0;
    uint32_t next_slot_ = 0;
    uint64_t frame_sequence_ = 0;
};

}  // namespace frame_channel
