// A reader given a broken or hostile channel: it reports no channel (or an
// unusable frame) and never touches a byte outside the memory it was given.
// The memory is an exact-size heap block, so AddressSanitizer sees any stray read.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/frame_reader.h"
#include "media/frame_channel/frame_writer.h"
#include "media/frame_channel/tests/channel_test_frames.h"

namespace frame_channel {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

constexpr FrameFormat kFormat{PixelFormat::kRgb24, 32, 16};

std::vector<uint8_t> ChannelWithFrames() {
    std::vector<uint8_t> memory(MappingSizeFor(static_cast<uint32_t>(FrameBytes(kFormat))));
    FrameWriter writer;
    writer.Attach(memory.data(), memory.size(), 7);
    std::vector<uint8_t> frame(FrameBytes(kFormat));
    for (uint64_t s = 1; s <= 4; ++s) {
        frame_channel_test::FillFrame(frame, s);
        writer.Write(frame.data(), frame.size(), kFormat, frame_channel_test::TimingOf(s), s);
    }
    return memory;
}

// Reads through a copy of exactly `size` bytes; the result must describe a
// frame that fits what was given.
ReadResult ReadFrom(const std::vector<uint8_t>& image, size_t size, FrameInfo* info) {
    std::vector<uint8_t> exact(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
    FrameReader reader(exact.data(), exact.size());
    std::vector<uint8_t> out(FrameBytes(kFormat) * 2);
    WriterStatus status;
    reader.ReadStatus(&status);
    const ReadResult result = reader.ReadLatest(out.data(), out.size(), info);
    if (result == ReadResult::kFrame) {
        EXPECT_LE(info->size, out.size());
    }
    return result;
}

TEST(HostileChannel, EveryHeaderFieldBrokenIsRefusedOrHarmless) {
    const std::vector<uint8_t> good = ChannelWithFrames();
    FrameInfo info;
    ASSERT_EQ(ReadFrom(good, good.size(), &info), ReadResult::kFrame);
    const uint32_t values[] = {0, 1, 2, 3, 0x7F, 0x80, 0xFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x1000, 0xFFFFF000};
    int refused = 0;
    for (size_t at = 0; at + 4 <= sizeof(ChannelHeader); at += 4) {
        for (uint32_t value : values) {
            std::vector<uint8_t> bad = good;
            std::memcpy(bad.data() + at, &value, 4);
            if (ReadFrom(bad, bad.size(), &info) != ReadResult::kFrame) ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(HostileChannel, SlotsPointingOutsideTheMemoryMeanNoChannel) {
    const std::vector<uint8_t> good = ChannelWithFrames();
    const auto* header = reinterpret_cast<const ChannelHeader*>(good.data());
    const uint32_t latest = header->latest_slot;
    FrameInfo info;
    struct Case {
        size_t field;
        uint32_t value;
    } cases[] = {
        {offsetof(ChannelHeader, magic), 0},
        {offsetof(ChannelHeader, version), kVersion + 1},
        {offsetof(ChannelHeader, header_size), sizeof(ChannelHeader) - 4},
        {offsetof(ChannelHeader, slot_count), kMaxSlots + 1},
        {offsetof(ChannelHeader, slot_count), 0},
        {offsetof(ChannelHeader, latest_slot), header->slot_count},
        {offsetof(ChannelHeader, slots) + latest * sizeof(SlotRecord) + offsetof(SlotRecord, offset),
         static_cast<uint32_t>(good.size())},
        {offsetof(ChannelHeader, slots) + latest * sizeof(SlotRecord) + offsetof(SlotRecord, offset), 8},
        {offsetof(ChannelHeader, slots) + latest * sizeof(SlotRecord) + offsetof(SlotRecord, capacity), 0xFFFFFFFF},
        {offsetof(ChannelHeader, slots) + latest * sizeof(SlotRecord) + offsetof(SlotRecord, data_size), 10},
        {offsetof(ChannelHeader, slots) + latest * sizeof(SlotRecord) + offsetof(SlotRecord, width), 100000},
        {offsetof(ChannelHeader, slots) + latest * sizeof(SlotRecord) + offsetof(SlotRecord, pixel_format), 99},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        std::memcpy(bad.data() + c.field, &c.value, 4);
        EXPECT_EQ(ReadFrom(bad, bad.size(), &info), ReadResult::kNoChannel) << "field at " << c.field;
    }
}

TEST(HostileChannel, AMappingShorterThanTheHeaderClaimsIsNeverOverread) {
    const std::vector<uint8_t> good = ChannelWithFrames();
    FrameInfo info;
    EXPECT_EQ(ReadFrom(good, 0, &info), ReadResult::kNoChannel);
    EXPECT_EQ(ReadFrom(good, sizeof(ChannelHeader) - 1, &info), ReadResult::kNoChannel);
    for (size_t size = sizeof(ChannelHeader); size < good.size(); size += 97) {
        EXPECT_EQ(ReadFrom(good, size, &info), ReadResult::kNoChannel) << size;
    }
}

}  // namespace
}  // namespace frame_channel
