// Time ordering of chunks from live streams that deliver at their own pace.
#include <gtest/gtest.h>

#include <vector>

#include "system_filters/avi_interleaver.h"

namespace {

using avi::Interleaver;
using avi::PendingChunk;

constexpr int64_t kSecond = 10000000;

PendingChunk Chunk(size_t stream, int64_t time, size_t bytes = 10) {
    PendingChunk c;
    c.stream = stream;
    c.time = time;
    c.data.assign(bytes, static_cast<uint8_t>(time));
    return c;
}

// (stream, time) of every chunk PopReady lets out now.
std::vector<std::pair<size_t, int64_t>> Ready(Interleaver& in) {
    std::vector<std::pair<size_t, int64_t>> out;
    PendingChunk c;
    while (in.PopReady(&c)) out.emplace_back(c.stream, c.time);
    return out;
}

using Order = std::vector<std::pair<size_t, int64_t>>;

TEST(Interleaver, HoldsChunksUntilEveryStreamHasShownOne) {
    Interleaver in(2, kSecond, 1 << 20);
    in.Push(Chunk(0, 0));
    in.Push(Chunk(0, 333333));
    EXPECT_TRUE(Ready(in).empty());
    in.Push(Chunk(1, 100000));
    // Audio at 10 ms goes between the two frames; the second frame waits for more audio.
    EXPECT_EQ((Order{{0, 0}, {1, 100000}}), Ready(in));
    in.Push(Chunk(1, 1100000));
    EXPECT_EQ((Order{{0, 333333}}), Ready(in));
}

TEST(Interleaver, EndedStreamsHoldNothingBack) {
    Interleaver in(2, kSecond, 1 << 20);
    in.Push(Chunk(1, 5));
    in.EndStream(0);
    EXPECT_EQ((Order{{1, 5}}), Ready(in));
    EXPECT_TRUE(in.Ended(0));
    EXPECT_FALSE(in.Ended(1));
}

TEST(Interleaver, SilentStreamHoldsOthersBackForOneSpanAtMost) {
    Interleaver in(2, kSecond, 1 << 20);
    for (int f = 0; f < 30; ++f) in.Push(Chunk(0, f * 333333));
    EXPECT_TRUE(Ready(in).empty());  // 29 frames span 0.97 s
    in.Push(Chunk(0, 30 * 333333));
    EXPECT_TRUE(Ready(in).empty());  // 9999990 units: just short of a second
    in.Push(Chunk(0, 31 * 333333));
    // Whatever is at least a second older than the newest frame leaves.
    EXPECT_EQ((Order{{0, 0}}), Ready(in));
    in.Push(Chunk(0, 32 * 333333));
    EXPECT_EQ((Order{{0, 333333}}), Ready(in));
}

TEST(Interleaver, ByteLimitForcesChunksOut) {
    Interleaver in(2, kSecond, 25);
    in.Push(Chunk(0, 0, 10));
    in.Push(Chunk(0, 1, 10));
    EXPECT_TRUE(Ready(in).empty());
    in.Push(Chunk(0, 2, 10));
    EXPECT_EQ((Order{{0, 0}}), Ready(in));  // down to 20 bytes: within the limit again
    EXPECT_EQ(20u, in.BufferedBytes());
}

TEST(Interleaver, DrainingGivesEverythingInTimeOrderAndStreamsKeepTheirOwnOrder) {
    Interleaver in(3, kSecond, 1 << 20);
    in.Push(Chunk(2, 50));
    in.Push(Chunk(0, 40));
    in.Push(Chunk(1, 40));  // same time: the lower stream first
    in.Push(Chunk(0, 30));  // out of order within its stream: still after the earlier push
    Order drained;
    PendingChunk c;
    while (in.PopAny(&c)) drained.emplace_back(c.stream, c.time);
    EXPECT_EQ((Order{{0, 40}, {0, 30}, {1, 40}, {2, 50}}), drained);
    EXPECT_TRUE(in.Empty());
    EXPECT_EQ(0u, in.BufferedBytes());
}

TEST(Interleaver, ClearForgetsChunksAndEnds) {
    Interleaver in(2, kSecond, 1 << 20);
    in.Push(Chunk(0, 1));
    in.EndStream(1);
    in.Clear();
    EXPECT_TRUE(in.Empty());
    EXPECT_FALSE(in.Ended(1));
    in.Push(Chunk(0, 2));
    EXPECT_TRUE(Ready(in).empty());  // stream 1 holds back again
}

}  // namespace
