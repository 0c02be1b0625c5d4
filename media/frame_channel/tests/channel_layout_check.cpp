// Compiled by every compiler that builds a writer or a reader of the channel
// (channel_layout_test.sh): a process of one width reads what one of the
// other wrote, so every field must sit at the same offset with the same size.
#include "media/frame_channel/channel_layout.h"

#define PINNED(type, field, offset, size)                   \
    static_assert(offsetof(type, field) == (offset), #field); \
    static_assert(sizeof(type::field) == (size), #field)

namespace frame_channel {

PINNED(SlotRecord, sequence, 0, 4);
PINNED(SlotRecord, offset, 4, 4);
PINNED(SlotRecord, capacity, 8, 4);
PINNED(SlotRecord, data_size, 12, 4);
PINNED(SlotRecord, frame_sequence, 16, 8);
PINNED(SlotRecord, sample_time, 24, 8);
PINNED(SlotRecord, write_time_us, 32, 8);
PINNED(SlotRecord, width, 40, 4);
PINNED(SlotRecord, height, 44, 4);
PINNED(SlotRecord, stride, 48, 4);
PINNED(SlotRecord, pixel_format, 52, 4);
PINNED(SlotRecord, frame_interval, 56, 8);
static_assert(sizeof(SlotRecord) == 64 && alignof(SlotRecord) <= 8);

PINNED(ChannelHeader, magic, 0, 4);
PINNED(ChannelHeader, version, 4, 4);
PINNED(ChannelHeader, header_size, 8, 4);
PINNED(ChannelHeader, slot_count, 12, 4);
PINNED(ChannelHeader, sequence, 16, 4);
PINNED(ChannelHeader, writer_process_id, 20, 4);
PINNED(ChannelHeader, writer_heartbeat_ms, 24, 8);
PINNED(ChannelHeader, frame_sequence, 32, 8);
PINNED(ChannelHeader, width, 40, 4);
PINNED(ChannelHeader, height, 44, 4);
PINNED(ChannelHeader, stride, 48, 4);
PINNED(ChannelHeader, pixel_format, 52, 4);
PINNED(ChannelHeader, frame_interval, 56, 8);
PINNED(ChannelHeader, latest_slot, 64, 4);
PINNED(ChannelHeader, reserved, 68, 4);
PINNED(ChannelHeader, slots, 72, 64 * kMaxSlots);
static_assert(sizeof(ChannelHeader) == 72 + 64 * kMaxSlots);

}  // namespace frame_channel
