// The shared frame channel's memory: one header of fixed-width fields, then
// the frame slots. Writer and readers may be different processes of different
// widths (a 32-bit sender, a 64-bit reader), so nothing here is a pointer, a
// size_t or an enum, and every offset is pinned below.
//
// Concurrency: exactly one writer. The header's `sequence` and each slot's
// `sequence` are seqlock counters: odd while the writer changes what they
// guard, even when it is consistent. A reader copies, then checks that the
// counter is even and unchanged; the writer never waits for anybody.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame_channel {

inline constexpr uint32_t kMagic = 0x43465054;  // "TPFC" in memory
inline constexpr uint32_t kVersion = 1;
inline constexpr uint32_t kMaxSlots = 4;
inline constexpr uint32_t kSlotCount = 3;         // what our writer lays out
inline constexpr uint32_t kSlotAlignment = 64;
inline constexpr uint32_t kNoSlot = 0xFFFFFFFFu;  // latest_slot before the first frame

// Pixel format codes as stored; fixed forever, whatever the in-process enums do.
enum ChannelFormat : uint32_t {
    kFormatNone = 0,
    kFormatRgb24 = 1,
    kFormatYuy2 = 2,
    kFormatI420 = 3,
    kFormatRgb32 = 4,
    kFormatUyvy = 5,
    kFormatYv12 = 6,
};

// Everything a reader needs to interpret one frame; copied under the slot's
// counter, so a frame and its description always belong together.
struct SlotRecord {
    uint32_t sequence;          // seqlock counter of this slot
    uint32_t offset;            // of the slot's bytes from the start of the mapping
    uint32_t capacity;          // bytes the slot can hold
    uint32_t data_size;         // bytes of the frame now in it
    uint64_t frame_sequence;    // 1 for the writer's first frame, then +1
    int64_t sample_time;        // the frame's stream time, 100 ns units
    uint64_t write_time_us;     // writer's clock when the frame arrived
    uint32_t width;
    int32_t height;             // as biHeight: positive = bottom-up RGB
    uint32_t stride;            // bytes per row of the first plane
    uint32_t pixel_format;      // ChannelFormat
    int64_t frame_interval;     // 100 ns units, 0 when unknown
};

struct ChannelHeader {
    uint32_t magic;
    uint32_t version;
    uint32_t header_size;       // sizeof(ChannelHeader)
    uint32_t slot_count;        // 1..kMaxSlots
    uint32_t sequence;          // seqlock counter of the fields below it
    uint32_t writer_process_id;
    uint64_t writer_heartbeat_ms;  // writer's clock at its latest frame
    uint64_t frame_sequence;    // of the latest complete frame, 0 = none yet
    uint32_t width;             // the latest frame's format, for a quick look
    int32_t height;
    uint32_t stride;
    uint32_t pixel_format;
    int64_t frame_interval;
    uint32_t latest_slot;       // slot holding frame_sequence, kNoSlot = none
    uint32_t reserved;
    SlotRecord slots[kMaxSlots];
};

static_assert(offsetof(SlotRecord, sequence) == 0);
static_assert(offsetof(SlotRecord, offset) == 4);
static_assert(offsetof(SlotRecord, capacity) == 8);
static_assert(offsetof(SlotRecord, data_size) == 12);
static_assert(offsetof(SlotRecord, frame_sequence) == 16);
static_assert(offsetof(SlotRecord, sample_time) == 24);
static_assert(offsetof(SlotRecord, write_time_us) == 32);
static_assert(offsetof(SlotRecord, width) == 40);
static_assert(offsetof(SlotRecord, height) == 44);
static_assert(offsetof(SlotRecord, stride) == 48);
static_assert(offsetof(SlotRecord, pixel_format) == 52);
static_assert(offsetof(SlotRecord, frame_interval) == 56);
static_assert(sizeof(SlotRecord) == 64);

static_assert(offsetof(ChannelHeader, magic) == 0);
static_assert(offsetof(ChannelHeader, version) == 4);
static_assert(offsetof(ChannelHeader, header_size) == 8);
static_assert(offsetof(ChannelHeader, slot_count) == 12);
static_assert(offsetof(ChannelHeader, sequence) == 16);
static_assert(offsetof(ChannelHeader, writer_process_id) == 20);
static_assert(offsetof(ChannelHeader, writer_heartbeat_ms) == 24);
static_assert(offsetof(ChannelHeader, frame_sequence) == 32);
static_assert(offsetof(ChannelHeader, width) == 40);
static_assert(offsetof(ChannelHeader, height) == 44);
static_assert(offsetof(ChannelHeader, stride) == 48);
static_assert(offsetof(ChannelHeader, pixel_format) == 52);
static_assert(offsetof(ChannelHeader, frame_interval) == 56);
static_assert(offsetof(ChannelHeader, latest_slot) == 64);
static_assert(offsetof(ChannelHeader, slots) == 72);
static_assert(sizeof(ChannelHeader) == 72 + 64 * kMaxSlots);

// First slot byte: a page boundary, so frame copies start aligned.
inline constexpr uint32_t kDataStart = 4096;
static_assert(sizeof(ChannelHeader) <= kDataStart);

// Mapping size our writer wants for frames of up to `max_frame_bytes`.
inline constexpr uint64_t MappingSizeFor(uint32_t max_frame_bytes) {
    const uint64_t slot = (uint64_t{max_frame_bytes} + kSlotAlignment - 1) / kSlotAlignment * kSlotAlignment;
    return kDataStart + slot * kSlotCount;
}

}  // namespace frame_channel
