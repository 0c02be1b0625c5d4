// A recording session: live samples in, a complete interleaved file out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "avi_test_reader.h"
#include "avi_test_support.h"
#include "system_filters/avi_recording.h"

namespace {

using avi::AviRecording;
using avi::ChunkTime;
using avi::SampleResult;
using namespace avi_test;

constexpr int64_t kFrame = 333333;
constexpr size_t kFrameBytes = 64 * 48 * 2;
constexpr size_t kAudioBytes = 3200;  // 100 ms of 16 kHz 16-bit mono

ChunkTime At(int64_t start, int64_t stop) { return {true, start, stop}; }

ParsedAvi MustParse(const std::vector<uint8_t>& file) {
    ParsedAvi avi;
    EXPECT_EQ("", Parse(file, &avi));
    return avi;
}

class Recording : public testing::Test {
protected:
    MemorySink sink;
    AviRecording recording{{VideoSpec(64, 48, kFrame, avi::MakeFourCC('Y', 'U', 'Y', '2'), 16),
                            AudioSpec(16000, 1, 16)},
                           &sink};
    std::vector<uint8_t> frame = std::vector<uint8_t>(kFrameBytes, 0x11);
    std::vector<uint8_t> sound = std::vector<uint8_t>(kAudioBytes, 0x22);

    void SetUp() override { ASSERT_TRUE(recording.Start()); }

    SampleResult Frame(int n) { return recording.Add(0, frame.data(), frame.size(), true, At(n * kFrame, (n + 1) * kFrame)); }
    SampleResult Sound(int n, bool timed = true) {
        return recording.Add(1, sound.data(), sound.size(), true,
                             timed ? At(n * 1000000LL, (n + 1) * 1000000LL) : ChunkTime{});
    }
};

TEST_F(Recording, ChunksOfBothStreamsLandInTimeOrder) {
    // Sound arrives in bursts of a second, as a capture buffer may deliver it.
    for (int f = 0; f < 30; ++f) ASSERT_EQ(SampleResult::kAccepted, Frame(f));
    for (int a = 0; a < 10; ++a) ASSERT_EQ(SampleResult::kAccepted, Sound(a));
    for (int f = 30; f < 33; ++f) ASSERT_EQ(SampleResult::kAccepted, Frame(f));
    ASSERT_TRUE(recording.Flush());
    const ParsedAvi avi = MustParse(sink.file);
    ASSERT_EQ(43u, avi.chunks.size());
    // Frame n starts at n/30 s, sound chunk a at a/10 s: the file follows that order.
    std::string order;
    for (const Chunk& c : avi.chunks) order += c.id == "00dc" ? 'v' : 'a';
    EXPECT_EQ("va" "vvva" "vvva", order.substr(0, 10)) << order;
    EXPECT_EQ(33u, avi.streams[0].length);
    EXPECT_EQ(16000u, avi.streams[1].length);  // 1 s of 2-byte blocks
}

TEST_F(Recording, EndOfEveryStreamClosesTheFile) {
    ASSERT_EQ(SampleResult::kAccepted, Frame(0));
    ASSERT_EQ(SampleResult::kAccepted, Sound(0));
    EXPECT_FALSE(recording.EndStream(1));
    EXPECT_EQ(SampleResult::kStreamClosed, Sound(1));
    ASSERT_EQ(SampleResult::kAccepted, Frame(1));
    EXPECT_TRUE(recording.EndStream(0));
    EXPECT_TRUE(recording.Closed());
    EXPECT_FALSE(recording.HasPendingData());
    EXPECT_EQ(SampleResult::kStreamClosed, Frame(2));
    const ParsedAvi avi = MustParse(sink.file);
    EXPECT_EQ(3u, avi.index.size());
}

TEST_F(Recording, FileIsCompleteAfterEachFlushAndRecordingGoesOn) {
    ASSERT_EQ(SampleResult::kAccepted, Frame(0));
    ASSERT_EQ(SampleResult::kAccepted, Sound(0));
    EXPECT_TRUE(recording.HasPendingData());
    ASSERT_TRUE(recording.Flush());
    EXPECT_FALSE(recording.HasPendingData());
    EXPECT_EQ(2u, MustParse(sink.file).index.size());
    ASSERT_EQ(SampleResult::kAccepted, Frame(1));
    ASSERT_TRUE(recording.Flush());
    const ParsedAvi avi = MustParse(sink.file);
    EXPECT_EQ(3u, avi.index.size());
    EXPECT_EQ(2u, avi.main.totalFrames);
}

TEST_F(Recording, UntimedSoundIsPlacedByItsByteCount) {
    for (int a = 0; a < 5; ++a) ASSERT_EQ(SampleResult::kAccepted, Sound(a, false));
    // 5 x 100 ms of sound: half a second recorded.
    EXPECT_EQ(5000000, recording.RecordedTime());
    ASSERT_EQ(SampleResult::kAccepted, Frame(0));
    ASSERT_EQ(SampleResult::kAccepted, Frame(1));
    ASSERT_TRUE(recording.Flush());
    std::string order;
    for (const Chunk& c : MustParse(sink.file).chunks) order += c.id == "00dc" ? 'v' : 'a';
    // Sound from 0 s on at 100 ms a chunk; frames at 0 and 33 ms (at equal times video goes first).
    EXPECT_EQ("vavaaaa", order);
}

TEST_F(Recording, RecordedTimeSpansEarliestStartToLatestEnd) {
    EXPECT_EQ(0, recording.RecordedTime());
    ASSERT_EQ(SampleResult::kAccepted, recording.Add(0, frame.data(), frame.size(), true, At(5000000, 5333333)));
    ASSERT_EQ(SampleResult::kAccepted, recording.Add(1, sound.data(), sound.size(), true, At(5100000, 6100000)));
    EXPECT_EQ(1100000, recording.RecordedTime());
}

TEST(RecordingLimit, FullFileIsClosedAndLaterSamplesAreDropped) {
    MemorySink sink;
    avi::RecordingOptions options;
    options.fileLimit = 20000;
    AviRecording recording({AudioSpec(16000, 1, 16)}, &sink, options);
    ASSERT_TRUE(recording.Start());
    const std::vector<uint8_t> block(1000, 7);
    SampleResult result = SampleResult::kAccepted;
    int accepted = 0;
    for (int i = 0; i < 100 && result == SampleResult::kAccepted; ++i) {
        result = recording.Add(0, block.data(), block.size(), true, At(i * 312500LL, (i + 1) * 312500LL));
        if (result == SampleResult::kAccepted) ++accepted;
    }
    // The interleaver holds a second back, so "accepted" runs ahead of what fit.
    EXPECT_EQ(SampleResult::kFileFull, result);
    EXPECT_TRUE(recording.Closed());
    EXPECT_EQ(SampleResult::kStreamClosed, recording.Add(0, block.data(), block.size(), true, {}));
    const ParsedAvi avi = MustParse(sink.file);
    EXPECT_LE(sink.file.size(), 20000u);
    EXPECT_EQ(avi.index.size(), recording.Writer().Totals(0).chunks);
    EXPECT_GT(avi.index.size(), 15u);
    EXPECT_LT(avi.index.size(), static_cast<size_t>(accepted) + 1);
}

}  // namespace
