#include "media/frame_channel/frame_reader.h"

#include <cstring>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/channel_validation.h"
#include "media/frame_channel/shared_counter.h"

namespace frame_channel {

namespace {

// A writer publishes in microseconds; a reader that loses this many races in
// a row is being lapped and comes back on its next wake-up.
constexpr int kAttempts = 16;

const ChannelHeader* HeaderAt(const uint8_t* base) { return reinterpret_cast<const ChannelHeader*>(base); }

// The fields the header's counter guards, copied whole or not at all.
struct HeaderSnapshot {
    uint64_t heartbeat_ms;
    uint64_t frame_sequence;
    uint32_t process_id;
    uint32_t latest_slot;
};

bool SnapshotHeader(const ChannelHeader* header, HeaderSnapshot* snapshot) {
    const uint32_t before = LoadAcquire(&header->sequence);
    snapshot->heartbeat_ms = header->writer_heartbeat_ms;
    snapshot->frame_sequence = header->frame_sequence;
    snapshot->process_id = header->writer_process_id;
    snapshot->latest_slot = header->latest_slot;
    return StillEqual(&header->sequence, before);
}

}  // namespace

bool FrameReader::ReadStatus(WriterStatus* status) const {
    ChannelGeometry geometry;
    if (!ReadGeometry(base_, size_, &geometry)) return false;
    HeaderSnapshot snapshot;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (SnapshotHeader(HeaderAt(base_), &snapshot)) {
            status->frame_sequence = snapshot.frame_sequence;
            status->heartbeat_ms = snapshot.heartbeat_ms;
            status->process_id = snapshot.process_id;
            return true;
        }
    }
    return false;
}

ReadResult FrameReader::ReadLatest(uint8_t* dst, size_t capacity, FrameInfo* info) const {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        ChannelGeometry geometry;
        if (!ReadGeometry(base_, size_, &geometry)) return ReadResult::kNoChannel;
        const ChannelHeader* header = HeaderAt(base_);
        HeaderSnapshot snapshot;
        if (!SnapshotHeader(header, &snapshot)) continue;
        if (snapshot.frame_sequence == 0 || snapshot.latest_slot == kNoSlot) return ReadResult::kNoFrame;
        if (snapshot.latest_slot >= geometry.slot_count) return ReadResult::kNoChannel;

        const uint32_t index = snapshot.latest_slot;
        const SlotRecord* slot = &header->slots[index];
        const uint32_t before = LoadAcquire(&slot->sequence);
        if (before & 1u) continue;
        SlotRecord record;
        std::memcpy(&record, slot, sizeof record);
        pixel_formats::FrameFormat format;
        size_t bytes = 0;
        if (!CheckSlotRecord(record, geometry.capacity[index], &format, &bytes)) {
            if (StillEqual(&slot->sequence, before)) return ReadResult::kNoChannel;
            continue;
        }
        if (bytes > capacity) {
            info->size = bytes;
            return ReadResult::kTooLarge;
        }
        std::memcpy(dst, base_ + geometry.offset[index], bytes);
        if (!StillEqual(&slot->sequence, before)) continue;
        info->frame_sequence = record.frame_sequence;
        info->format = format;
        info->size = bytes;
        info->timing.sample_time = record.sample_time;
        info->timing.frame_interval = record.frame_interval;
        info->timing.write_time_us = record.write_time_us;
        return ReadResult::kFrame;
    }
    return ReadResult::kBusy;
}

}  // namespace frame_channel
