#include "media/frame_channel/channel_validation.h"

#include <cstring>

#include "media/frame_channel/channel_format.h"

namespace frame_channel {

bool ReadGeometry(const uint8_t* base, size_t size, ChannelGeometry* geometry) {
    if (base == nullptr || size < sizeof(ChannelHeader)) return false;
    ChannelHeader copy;
    std::memcpy(&copy, base, sizeof copy);
    if (copy.magic != kMagic || copy.version != kVersion || copy.header_size != sizeof(ChannelHeader)) return false;
    if (copy.slot_count == 0 || copy.slot_count > kMaxSlots) return false;
    for (uint32_t i = 0; i < copy.slot_count; ++i) {
        const uint64_t start = copy.slots[i].offset;
        const uint64_t end = start + copy.slots[i].capacity;
        if (start < sizeof(ChannelHeader) || end > size) return false;
        geometry->offset[i] = copy.slots[i].offset;
        geometry->capacity[i] = copy.slots[i].capacity;
    }
    geometry->slot_count = copy.slot_count;
    return true;
}

bool CheckSlotRecord(const SlotRecord& record, uint32_t capacity, pixel_formats::FrameFormat* format,
                     size_t* frame_bytes) {
    pixel_formats::FrameFormat f{};
    if (!FromChannelFormat(record.pixel_format, &f.format)) return false;
    if (record.width == 0 || record.width > static_cast<uint32_t>(pixel_formats::kMaxDimension)) return false;
    if (record.height == 0 || record.height < -pixel_formats::kMaxDimension ||
        record.height > pixel_formats::kMaxDimension) {
        return false;
    }
    if (record.stride > capacity) return false;
    f.width = static_cast<int>(record.width);
    f.height = record.height;
    f.stride = static_cast<int>(record.stride);
    const size_t bytes = FrameBytes(f);
    if (bytes == 0 || bytes > record.data_size || record.data_size > capacity) return false;
    *format = f;
    *frame_bytes = bytes;
    return true;
}

}  // namespace frame_channel
