// The kept frame: what a snapshot reads back, which frames replace it, and
// that a frame being replaced is never read half old, half new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "filters/snapshot/latest_frame.h"

namespace snapshot {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

struct Seen {
    bool called = false;
    FrameFormat format{};
    std::vector<uint8_t> bytes;
    const uint8_t* where = nullptr;
};

Seen ReadBack(const LatestFrame& latest) {
    Seen seen;
    latest.Read([&](const FrameFormat& format, const uint8_t* data, size_t size) {
        seen.called = true;
        seen.format = format;
        seen.bytes.assign(data, data + size);
        seen.where = data;
    });
    return seen;
}

std::vector<uint8_t> Filled(size_t size, uint8_t first) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

TEST(LatestFrame, NothingToReadBeforeTheFirstFrame) {
    LatestFrame latest;
    EXPECT_FALSE(latest.HasFrame());
    bool called = false;
    EXPECT_FALSE(latest.Read([&](const FrameFormat&, const uint8_t*, size_t) { called = true; }));
    EXPECT_FALSE(called);
}

TEST(LatestFrame, ReadsBackTheLastFrameWithItsFormat) {
    LatestFrame latest;
    const FrameFormat yuy2{PixelFormat::kYuy2, 4, 2};  // 8 bytes a row
    const auto first = Filled(16, 1), second = Filled(16, 100);
    ASSERT_TRUE(latest.Keep(yuy2, first.data(), first.size()));
    ASSERT_TRUE(latest.Keep(yuy2, second.data(), second.size()));
    const Seen seen = ReadBack(latest);
    ASSERT_TRUE(seen.called);
    EXPECT_EQ(second, seen.bytes);
    EXPECT_EQ(PixelFormat::kYuy2, seen.format.format);
    EXPECT_EQ(4, seen.format.width);
    EXPECT_EQ(2, seen.format.height);
}

TEST(LatestFrame, KeepsOnlyTheFrameOfALongerSample) {
    LatestFrame latest;
    const auto sample = Filled(40, 7);  // a buffer bigger than the 4x2 RGB24 frame (24 bytes)
    ASSERT_TRUE(latest.Keep({PixelFormat::kRgb24, 4, 2}, sample.data(), sample.size()));
    EXPECT_EQ(std::vector<uint8_t>(sample.begin(), sample.begin() + 24), ReadBack(latest).bytes);
}

TEST(LatestFrame, AShortOrMalformedFrameLeavesThePreviousOne) {
    LatestFrame latest;
    const FrameFormat rgb{PixelFormat::kRgb24, 4, 2};
    const auto good = Filled(24, 9);
    ASSERT_TRUE(latest.Keep(rgb, good.data(), good.size()));
    const auto other = Filled(24, 50);
    EXPECT_FALSE(latest.Keep(rgb, other.data(), 23));
    EXPECT_FALSE(latest.Keep({PixelFormat::kRgb24, 0, 2}, other.data(), other.size()));
    EXPECT_FALSE(latest.Keep(rgb, nullptr, 24));
    const Seen seen = ReadBack(latest);
    EXPECT_EQ(good, seen.bytes);
    EXPECT_EQ(4, seen.format.width);
}

TEST(LatestFrame, AnotherSizeReplacesFormatAndBytes) {
    LatestFrame latest;
    const auto big = Filled(8 * 6 * 3, 1), small = Filled(2 * 2 * 4, 77);
    ASSERT_TRUE(latest.Keep({PixelFormat::kRgb24, 8, 6}, big.data(), big.size()));
    ASSERT_TRUE(latest.Keep({PixelFormat::kRgb32, 2, -2}, small.data(), small.size()));
    const Seen seen = ReadBack(latest);
    EXPECT_EQ(small, seen.bytes);
    EXPECT_EQ(PixelFormat::kRgb32, seen.format.format);
    EXPECT_EQ(2, seen.format.width);
    EXPECT_EQ(-2, seen.format.height);
}

TEST(LatestFrame, StreamingTheSameSizeReusesOneBuffer) {
    LatestFrame latest;
    const FrameFormat i420{PixelFormat::kI420, 16, 16};
    const auto frame = Filled(16 * 16 * 3 / 2, 0);
    ASSERT_TRUE(latest.Keep(i420, frame.data(), frame.size()));
    const uint8_t* buffer = ReadBack(latest).where;
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(latest.Keep(i420, frame.data(), frame.size()));
    // A smaller frame fits in the same buffer too.
    ASSERT_TRUE(latest.Keep({PixelFormat::kRgb24, 4, 4}, frame.data(), 48));
    EXPECT_EQ(buffer, ReadBack(latest).where);
}

TEST(LatestFrame, ReadersNeverSeeAFrameHalfReplaced) {
    LatestFrame latest;
    const FrameFormat rgb{PixelFormat::kRgb32, 64, 64};
    const size_t size = 64 * 64 * 4;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        std::vector<uint8_t> frame(size);
        for (int n = 0; n < 2000; ++n) {
            std::fill(frame.begin(), frame.end(), static_cast<uint8_t>(n));
            latest.Keep(rgb, frame.data(), frame.size());
        }
        done = true;
    });
    int reads = 0, torn = 0;
    while (!done || reads == 0) {
        latest.Read([&](const FrameFormat&, const uint8_t* data, size_t length) {
            ++reads;
            for (size_t i = 1; i < length; ++i) {
                if (data[i] != data[0]) {
                    ++torn;
                    break;
                }
            }
        });
    }
    writer.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(0, torn);
}

}  // namespace
}  // namespace snapshot
