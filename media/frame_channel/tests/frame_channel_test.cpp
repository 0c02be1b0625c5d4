// The channel between one writer and its readers, on plain memory and threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/frame_reader.h"
#include "media/frame_channel/frame_writer.h"
#include "media/frame_channel/shared_counter.h"
#include "media/frame_channel/tests/channel_test_frames.h"

namespace frame_channel {
namespace {

using frame_channel_test::FillFrame;
using frame_channel_test::FrameIsWhole;
using frame_channel_test::TimingOf;
using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

constexpr FrameFormat kSmall{PixelFormat::kRgb24, 16, 8};  // 384 bytes

TEST(FrameChannel, FramesTravelWithTheirFormatAndTiming) {
    std::vector<uint8_t> memory(MappingSizeFor(640 * 480 * 3));
    FrameWriter writer;
    ASSERT_TRUE(writer.Attach(memory.data(), memory.size(), 4242));
    FrameReader reader(memory.data(), memory.size());
    std::vector<uint8_t> out(640 * 480 * 3);
    FrameInfo info;
    EXPECT_EQ(reader.ReadLatest(out.data(), out.size(), &info), ReadResult::kNoFrame);

    const FrameFormat formats[] = {{PixelFormat::kI420, 640, 480}, {PixelFormat::kRgb24, 320, -240},
                                   {PixelFormat::kYuy2, 160, 120, 352}};
    uint64_t sequence = 0;
    for (const FrameFormat& format : formats) {
        std::vector<uint8_t> frame(FrameBytes(format));
        FillFrame(frame, ++sequence);
        ASSERT_TRUE(writer.Write(frame.data(), frame.size(), format, TimingOf(sequence), 1000 + sequence));
        ASSERT_EQ(reader.ReadLatest(out.data(), out.size(), &info), ReadResult::kFrame);
        EXPECT_EQ(info.frame_sequence, sequence);
        EXPECT_EQ(info.size, frame.size());
        EXPECT_EQ(std::memcmp(out.data(), frame.data(), frame.size()), 0);
        EXPECT_EQ(info.format.format, format.format);
        EXPECT_EQ(info.format.width, format.width);
        EXPECT_EQ(info.format.height, format.height);
        EXPECT_EQ(info.timing.sample_time, TimingOf(sequence).sample_time);
        EXPECT_EQ(info.timing.write_time_us, TimingOf(sequence).write_time_us);
        WriterStatus status;
        ASSERT_TRUE(reader.ReadStatus(&status));
        EXPECT_EQ(status.frame_sequence, sequence);
        EXPECT_EQ(status.heartbeat_ms, 1000 + sequence);
        EXPECT_EQ(status.process_id, 4242u);
    }
    // The YUY2 frame kept its padded rows.
    EXPECT_EQ(info.size, 352u * 120);

    std::vector<uint8_t> tiny(100);
    EXPECT_EQ(reader.ReadLatest(tiny.data(), tiny.size(), &info), ReadResult::kTooLarge);
    EXPECT_EQ(info.size, 352u * 120);
    std::vector<uint8_t> huge(FrameBytes({PixelFormat::kRgb24, 1280, 720}));
    EXPECT_FALSE(writer.Write(huge.data(), huge.size(), {PixelFormat::kRgb24, 1280, 720}, TimingOf(9), 9));
    EXPECT_FALSE(writer.Write(huge.data(), 10, {PixelFormat::kRgb24, 16, 8}, TimingOf(9), 9));
    EXPECT_FALSE(writer.Write(huge.data(), huge.size(), {PixelFormat::kRgb565, 16, 8}, TimingOf(9), 9));
    ASSERT_EQ(reader.ReadLatest(out.data(), out.size(), &info), ReadResult::kFrame);
    EXPECT_EQ(info.frame_sequence, sequence);
}

TEST(FrameChannel, ManyReadersNeverSeeATornFrameOverAMillionFrames) {
    constexpr uint64_t kFrames = 1000000;
    constexpr int kReaders = 3;
    std::vector<uint8_t> memory(MappingSizeFor(static_cast<uint32_t>(FrameBytes(kSmall))));
    FrameWriter writer;
    ASSERT_TRUE(writer.Attach(memory.data(), memory.size(), 1));
    std::atomic<bool> done{false};
    std::atomic<uint64_t> torn{0}, backwards{0}, frames_read{0};

    auto read_until_done = [&] {
        FrameReader reader(memory.data(), memory.size());
        std::vector<uint8_t> out(FrameBytes(kSmall));
        uint64_t last = 0, seen = 0;
        while (!done.load(std::memory_order_acquire)) {
            FrameInfo info;
            const ReadResult result = reader.ReadLatest(out.data(), out.size(), &info);
            // Two cores are shared by the writer and every reader.
            std::this_thread::yield();
            if (result != ReadResult::kFrame) continue;
            if (!FrameIsWhole(out.data(), info.size, info.frame_sequence) ||
                info.timing.sample_time != TimingOf(info.frame_sequence).sample_time) {
                ++torn;
            }
            if (info.frame_sequence < last) ++backwards;
            if (info.frame_sequence != last) ++seen;
            last = info.frame_sequence;
        }
        frames_read += seen;
    };
    std::vector<std::thread> readers;
    for (int i = 0; i < kReaders; ++i) readers.emplace_back(read_until_done);

    std::vector<uint8_t> frame(FrameBytes(kSmall));
    for (uint64_t sequence = 1; sequence <= kFrames; ++sequence) {
        FillFrame(frame, sequence);
        ASSERT_TRUE(writer.Write(frame.data(), frame.size(), kSmall, TimingOf(sequence), sequence));
    }
    done.store(true, std::memory_order_release);
    for (std::thread& t : readers) t.join();

    EXPECT_EQ(torn.load(), 0u);
    EXPECT_EQ(backwards.load(), 0u);
    EXPECT_GT(frames_read.load(), 0u);
    std::printf("[ figures  ] %llu distinct frames copied by %d readers while %llu were written\n",
                static_cast<unsigned long long>(frames_read.load()), kReaders,
                static_cast<unsigned long long>(kFrames));
}

TEST(FrameChannel, ANewWriterContinuesWhereADeadOneStopped) {
    std::vector<uint8_t> memory(MappingSizeFor(static_cast<uint32_t>(FrameBytes(kSmall))));
    std::vector<uint8_t> frame(FrameBytes(kSmall)), out(frame.size());
    FrameReader reader(memory.data(), memory.size());
    FrameInfo info;
    {
        FrameWriter first;
        ASSERT_TRUE(first.Attach(memory.data(), memory.size(), 1));
        for (uint64_t s = 1; s <= 5; ++s) {
            FillFrame(frame, s);
            first.Write(frame.data(), frame.size(), kSmall, TimingOf(s), s);
        }
    }
    // The dead writer was half way through the slot after the latest one.
    auto* header = reinterpret_cast<ChannelHeader*>(memory.data());
    const uint32_t next = (header->latest_slot + 1) % header->slot_count;
    const uint32_t left_odd = BeginWrite(&header->slots[next].sequence);
    ASSERT_EQ(reader.ReadLatest(out.data(), out.size(), &info), ReadResult::kFrame);
    EXPECT_EQ(info.frame_sequence, 5u);

    FrameWriter second;
    ASSERT_TRUE(second.Attach(memory.data(), memory.size(), 2));
    FillFrame(frame, 6);
    ASSERT_TRUE(second.Write(frame.data(), frame.size(), kSmall, TimingOf(6), 6));
    ASSERT_EQ(reader.ReadLatest(out.data(), out.size(), &info), ReadResult::kFrame);
    EXPECT_EQ(info.frame_sequence, 6u);
    EXPECT_TRUE(FrameIsWhole(out.data(), info.size, 6));
    // The slot a reader may have seen odd went on to a value it never held.
    EXPECT_EQ(header->slots[next].sequence % 2, 0u);
    EXPECT_GT(header->slots[next].sequence, left_odd);
    WriterStatus status;
    ASSERT_TRUE(reader.ReadStatus(&status));
    EXPECT_EQ(status.process_id, 2u);
}

}  // namespace
}  // namespace frame_channel
