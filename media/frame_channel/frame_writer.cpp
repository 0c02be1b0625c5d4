#include "media/frame_channel/frame_writer.h"

#include <cstring>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/channel_validation.h"
#include "media/frame_channel/shared_counter.h"

namespace frame_channel {

namespace {

ChannelHeader* HeaderAt(uint8_t* base) { return reinterpret_cast<ChannelHeader*>(base); }

uint32_t SlotCapacityFor(size_t size) {
    if (size < kDataStart) return 0;
    uint64_t slot = (uint64_t{size} - kDataStart) / kSlotCount / kSlotAlignment * kSlotAlignment;
    if (slot > 0xFFFFFFFFu - kDataStart) slot = (0xFFFFFFFFu - kDataStart) / kSlotCount / kSlotAlignment * kSlotAlignment;
    return static_cast<uint32_t>(slot);
}

}  // namespace

bool FrameWriter::Attach(uint8_t* base, size_t size, uint32_t process_id) {
    base_ = base;
    slot_capacity_ = SlotCapacityFor(size);
    slot_count_ = kSlotCount;
    if (base == nullptr || slot_capacity_ == 0) {
        base_ = nullptr;
        slot_capacity_ = 0;
        return false;
    }
    if (!TakeOver(size)) LayOut();
    ChannelHeader* header = HeaderAt(base_);
    const uint32_t odd = BeginWrite(&header->sequence);
    header->writer_process_id = process_id;
    EndWrite(&header->sequence, odd);
    return true;
}

// An earlier writer's channel of the same geometry keeps its counters.
bool FrameWriter::TakeOver(size_t size) {
    ChannelGeometry geometry;
    if (!ReadGeometry(base_, size, &geometry) || geometry.slot_count != slot_count_) return false;
    for (uint32_t i = 0; i < slot_count_; ++i) {
        if (geometry.offset[i] != kDataStart + i * slot_capacity_ || geometry.capacity[i] != slot_capacity_) return false;
    }
    const ChannelHeader* header = HeaderAt(base_);
    frame_sequence_ = header->frame_sequence;
    next_slot_ = header->latest_slot < slot_count_ ? (header->latest_slot + 1) % slot_count_ : 0;
    return true;
}

void FrameWriter::LayOut() {
    ChannelHeader* header = HeaderAt(base_);
    // Readers ignore the header until the magic is back, written last.
    StoreRelease(&header->magic, 0);
    std::memset(reinterpret_cast<uint8_t*>(header) + sizeof header->magic, 0, sizeof *header - sizeof header->magic);
    header->version = kVersion;
    header->header_size = sizeof(ChannelHeader);
    header->slot_count = slot_count_;
    header->latest_slot = kNoSlot;
    for (uint32_t i = 0; i < slot_count_; ++i) {
        header->slots[i].offset = kDataStart + i * slot_capacity_;
        header->slots[i].capacity = slot_capacity_;
    }
    frame_sequence_ = 0;
    next_slot_ = 0;
    StoreRelease(&header->magic, kMagic);
}

bool FrameWriter::Write(const uint8_t* data, size_t size, const pixel_formats::FrameFormat& format,
                        const FrameTiming& timing, uint64_t now_ms) {
    const size_t bytes = FrameBytes(format);
    if (base_ == nullptr || bytes == 0 || bytes > size || bytes > slot_capacity_) return false;
    pixel_formats::FrameLayout layout;
    pixel_formats::ComputeFrameLayout(format, &layout);
    const uint32_t stride = static_cast<uint32_t>(layout.planes[0].stride);
    ChannelHeader* header = HeaderAt(base_);
    const uint32_t index = next_slot_;
    SlotRecord& slot = header->slots[index];
    const uint64_t sequence = frame_sequence_ + 1;

    const uint32_t slot_odd = BeginWrite(&slot.sequence);
    slot.data_size = static_cast<uint32_t>(bytes);
    slot.frame_sequence = sequence;
    slot.sample_time = timing.sample_time;
    slot.write_time_us = timing.write_time_us;
    slot.width = static_cast<uint32_t>(format.width);
    slot.height = format.height;
    slot.stride = stride;
    slot.pixel_format = ToChannelFormat(format.format);
    slot.frame_interval = timing.frame_interval;
    std::memcpy(base_ + kDataStart + uint64_t{index} * slot_capacity_, data, bytes);
    EndWrite(&slot.sequence, slot_odd);

    const uint32_t header_odd = BeginWrite(&header->sequence);
    header->writer_heartbeat_ms = now_ms;
    header->frame_sequence = sequence;
    header->width = slot.width;
    header->height = slot.height;
    header->stride = stride;
    header->pixel_format = slot.pixel_format;
    header->frame_interval = timing.frame_interval;
    header->latest_slot = index;
    EndWrite(&header->sequence, header_odd);

    frame_sequence_ = sequence;
    next_slot_ = (index + 1) % slot_count_;
    return true;
}

}  // namespace frame_channel
