// A reader of a frame channel: copies the latest whole frame out. It never
// returns a frame the writer was changing while it copied, and never reads
// outside the memory it was given, whatever the header says.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/frame_channel/channel_format.h"

namespace frame_channel {

struct FrameInfo {
    uint64_t frame_sequence = 0;
    pixel_formats::FrameFormat format{};
    size_t size = 0;  // bytes copied
    FrameTiming timing;
};

struct WriterStatus {
    uint64_t frame_sequence = 0;  // latest frame, 0 = none yet
    uint64_t heartbeat_ms = 0;    // writer's clock at that frame
    uint32_t process_id = 0;
};

enum class ReadResult {
    kFrame,      // a whole frame was copied
    kNoChannel,  // no valid channel in the memory
    kNoFrame,    // a channel without a frame yet
    kBusy,       // the writer kept changing the frame; try again later
    kTooLarge,   // the frame does not fit the caller's buffer
};

class FrameReader {
public:
    FrameReader(const uint8_t* base, size_t size) : base_(base), size_(size) {}

    // False when there is no valid channel or the writer is mid-update.
    bool ReadStatus(WriterStatus* status) const;

    // Copies the latest frame into `dst`. With kTooLarge, info->size says how
    // many bytes the frame needs.
    ReadResult ReadLatest(uint8_t* dst, size_t capacity, FrameInfo* info) const;

private:
    const uint8_t* base_;
    size_t size_;
};

}  // namespace frame_channel
