// A reader's checks of what it finds in the mapping. Another process owns
// those bytes and may be broken or hostile, so every value is copied once
// and checked against the mapping's size; only the checked copies are used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/frame_channel/channel_layout.h"
#include "pixel_formats/pixel_format.h"

namespace frame_channel {

// Where the slots are, as far as it has been checked.
struct ChannelGeometry {
    uint32_t slot_count = 0;
    uint32_t offset[kMaxSlots] = {};
    uint32_t capacity[kMaxSlots] = {};
};

// True when `base` holds a channel header of our version whose slots all lie
// inside the `size` bytes after the header.
bool ReadGeometry(const uint8_t* base, size_t size, ChannelGeometry* geometry);

// True when a copied slot record describes a frame of a known format that
// fits both the record's data size and the slot's checked capacity.
bool CheckSlotRecord(const SlotRecord& record, uint32_t capacity, pixel_formats::FrameFormat* format,
                     size_t* frame_bytes);

}  // namespace frame_channel
