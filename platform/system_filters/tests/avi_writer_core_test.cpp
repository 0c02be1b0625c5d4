// The AVI writer's file layout, read back by an independent RIFF walker.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "avi_test_reader.h"
#include "avi_test_support.h"
#include "system_filters/avi_writer_core.h"

namespace {

using avi::AviWriter;
using avi::ChunkResult;
using avi::ChunkTime;
using namespace avi_test;

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i < size; ++i) v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
}

ChunkTime At(int64_t start, int64_t duration) { return {true, start, start + duration}; }

ParsedAvi MustParse(const std::vector<uint8_t>& file) {
    ParsedAvi avi;
    const std::string error = Parse(file, &avi);
    EXPECT_EQ("", error);
    return avi;
}

// Camera and microphone as a capture graph feeds them: 320x240 RGB24 at
// 30 frames per second, 44.1 kHz 16-bit stereo in 100 ms buffers.
class CaptureFile : public testing::Test {
protected:
    static constexpr size_t kFrameBytes = 320 * 240 * 3;
    static constexpr size_t kAudioBytes = 17640;  // 100 ms
    static constexpr int64_t kFrame = 333333;

    AviWriter writer{{VideoSpec(320, 240, kFrame), AudioSpec(44100, 2, 16)}, &sink};
    MemorySink sink;

    void RecordSeconds(int seconds) {
        ASSERT_TRUE(writer.Begin());
        for (int tenth = 0; tenth < seconds * 10; ++tenth) {
            ASSERT_EQ(ChunkResult::kWritten, writer.WriteChunk(1, Pattern(kAudioBytes, 100 + tenth).data(),
                                                               kAudioBytes, true, At(tenth * 1000000LL, 1000000)));
            for (int f = 0; f < 3; ++f) {
                const int frame = tenth * 3 + f;
                ASSERT_EQ(ChunkResult::kWritten, writer.WriteChunk(0, Pattern(kFrameBytes, frame).data(),
                                                                   kFrameBytes, true, At(frame * kFrame, kFrame)));
            }
        }
        ASSERT_TRUE(writer.WriteTrailer());
    }
};

TEST_F(CaptureFile, HeadersDescribeWhatWasRecorded) {
    RecordSeconds(3);
    const ParsedAvi avi = MustParse(sink.file);
    EXPECT_EQ(2u, avi.main.streams);
    EXPECT_EQ(90u, avi.main.totalFrames);
    EXPECT_EQ(33333u, avi.main.microSecPerFrame);
    EXPECT_EQ(avi::kAvifHasIndex | avi::kAvifIsInterleaved, avi.main.flags);
    EXPECT_EQ(320u, avi.main.width);
    EXPECT_EQ(240u, avi.main.height);
    EXPECT_GE(avi.main.suggestedBuffer, kFrameBytes);
    ASSERT_EQ(2u, avi.streams.size());

    const StreamHeader& video = avi.streams[0];
    EXPECT_EQ("vids", video.type);
    EXPECT_EQ(90u, video.length);
    EXPECT_EQ(30u, video.rate / video.scale);
    EXPECT_EQ(0u, video.rate % video.scale);
    EXPECT_EQ(kFrameBytes, video.suggestedBuffer);
    EXPECT_EQ(320, video.frameRight);
    EXPECT_EQ(240, video.frameBottom);
    EXPECT_EQ(writer.Streams()[0].format, video.format);

    const StreamHeader& audio = avi.streams[1];
    EXPECT_EQ("auds", audio.type);
    EXPECT_EQ(4u, audio.scale);  // block align of 16-bit stereo
    EXPECT_EQ(176400u, audio.rate);
    EXPECT_EQ(4u, audio.sampleSize);
    EXPECT_EQ(3u * 44100, audio.length);  // blocks
    EXPECT_EQ(writer.Streams()[1].format, audio.format);
}

TEST_F(CaptureFile, ChunksAndIndexAgreeWithTheDataInWrittenOrder) {
    RecordSeconds(1);
    const ParsedAvi avi = MustParse(sink.file);
    ASSERT_EQ(40u, avi.chunks.size());
    ASSERT_TRUE(avi.hasIndex);
    ASSERT_EQ(avi.chunks.size(), avi.index.size());
    EXPECT_EQ("01wb", avi.chunks[0].id);
    EXPECT_EQ(Pattern(kAudioBytes, 100), avi.chunks[0].data);
    EXPECT_EQ("00dc", avi.chunks[1].id);
    EXPECT_EQ(Pattern(kFrameBytes, 0), avi.chunks[1].data);
    EXPECT_EQ(Pattern(kFrameBytes, 29), avi.chunks.back().data);
    for (size_t i = 0; i < avi.chunks.size(); ++i) {
        const IndexEntry& e = avi.index[i];
        // idx1 offsets count from the 'movi' code to the chunk's id.
        EXPECT_EQ(avi.chunks[i].offset, avi.moviCode + e.offset) << i;
        EXPECT_EQ(avi.chunks[i].id, e.id);
        EXPECT_EQ(avi.chunks[i].data.size(), e.size);
        EXPECT_EQ(avi::kAviifKeyframe, e.flags);
    }
}

TEST(AviWriter, OddChunksArePaddedAndIndexedWithTheirOwnSize) {
    MemorySink sink;
    AviWriter writer({VideoSpec(16, 16, 400000, avi::MakeFourCC('M', 'J', 'P', 'G'))}, &sink);
    ASSERT_TRUE(writer.Begin());
    const std::vector<uint8_t> odd = Pattern(3, 1), even = Pattern(4, 2);
    ASSERT_EQ(ChunkResult::kWritten, writer.WriteChunk(0, odd.data(), odd.size(), true, {}));
    ASSERT_EQ(ChunkResult::kWritten, writer.WriteChunk(0, even.data(), even.size(), false, {}));
    ASSERT_TRUE(writer.WriteTrailer());
    const ParsedAvi avi = MustParse(sink.file);  // the walker refuses chunks at odd offsets
    ASSERT_EQ(2u, avi.chunks.size());
    EXPECT_EQ(avi.chunks[0].offset + 8 + 4, avi.chunks[1].offset);
    EXPECT_EQ(0, sink.file[avi.chunks[0].offset + 8 + 3]);  // the pad byte
    EXPECT_EQ(3u, avi.index[0].size);
    EXPECT_EQ(0u, avi.index[1].flags);  // a delta frame is no key frame
    EXPECT_EQ("MJPG", avi.streams[0].handler);
    EXPECT_EQ(25u, avi.streams[0].rate / avi.streams[0].scale);
}

TEST(AviWriter, FileIsCompleteAfterBeginAndAfterEveryTrailer) {
    MemorySink sink;
    AviWriter writer({AudioSpec(8000, 1, 8)}, &sink);
    ASSERT_TRUE(writer.Begin());
    ParsedAvi avi = MustParse(sink.file);
    EXPECT_TRUE(avi.hasIndex);
    EXPECT_TRUE(avi.chunks.empty());

    const std::vector<uint8_t> block = Pattern(800, 5);
    ASSERT_EQ(ChunkResult::kWritten, writer.WriteChunk(0, block.data(), block.size(), true, {}));
    EXPECT_TRUE(writer.HasUnindexedChunks());
    ASSERT_TRUE(writer.WriteTrailer());
    EXPECT_FALSE(writer.HasUnindexedChunks());
    avi = MustParse(sink.file);
    EXPECT_EQ(1u, avi.index.size());

    // Recording goes on over the index just written.
    ASSERT_EQ(ChunkResult::kWritten, writer.WriteChunk(0, block.data(), block.size(), true, {}));
    ASSERT_TRUE(writer.WriteTrailer());
    avi = MustParse(sink.file);
    ASSERT_EQ(2u, avi.chunks.size());
    EXPECT_EQ(2u, avi.index.size());
    EXPECT_EQ(1600u, avi.streams[0].length);  // 8-bit mono: one block per byte
    EXPECT_EQ(writer.FileSize(), sink.file.size());
}

TEST(AviWriter, StreamNamesBecomeStrnChunks) {
    MemorySink sink;
    avi::StreamInfo info = AudioSpec(8000, 1, 16);
    info.name = "Mic";
    AviWriter writer({info}, &sink);
    ASSERT_TRUE(writer.Begin());
    EXPECT_EQ("Mic", MustParse(sink.file).streams.at(0).name);
}

TEST(AviWriter, RefusesUnusableStreams) {
    MemorySink sink;
    avi::StreamInfo shortVideo = VideoSpec(16, 16, 0);
    shortVideo.format.resize(30);
    avi::StreamInfo silentAudio = AudioSpec(8000, 1, 16);
    silentAudio.format[12] = silentAudio.format[13] = 0;  // block align 0
    EXPECT_FALSE(AviWriter({shortVideo}, &sink).Valid());
    EXPECT_FALSE(AviWriter({silentAudio}, &sink).Valid());
    EXPECT_FALSE(AviWriter({}, &sink).Valid());
    EXPECT_FALSE(AviWriter({AudioSpec(8000, 1, 16)}, nullptr).Valid());
    AviWriter invalid({silentAudio}, &sink);
    EXPECT_FALSE(invalid.Begin());
    EXPECT_EQ(0, sink.writes);
}

TEST(AviWriter, StopsWritingAfterTheSinkFails) {
    MemorySink sink;
    AviWriter writer({AudioSpec(8000, 1, 16)}, &sink);
    ASSERT_TRUE(writer.Begin());
    sink.failFromWrite = sink.writes + 2;  // the chunk's header goes through, its data does not
    const std::vector<uint8_t> block = Pattern(100, 1);
    EXPECT_EQ(ChunkResult::kFailed, writer.WriteChunk(0, block.data(), block.size(), true, {}));
    EXPECT_TRUE(writer.Failed());
    const int writes = sink.writes;
    EXPECT_EQ(ChunkResult::kFailed, writer.WriteChunk(0, block.data(), block.size(), true, {}));
    EXPECT_FALSE(writer.WriteTrailer());
    EXPECT_EQ(writes, sink.writes);
}

// The 32-bit RIFF size caps a file at 4 GB; the sink only counts, so no
// gigabytes are written.
TEST(AviWriterLimit, LastChunkAndIndexStillFitBelowFourGigabytes) {
    CountingSink sink;
    AviWriter writer({VideoSpec(1920, 1080, 400000, 0, 24)}, &sink);
    ASSERT_TRUE(writer.Begin());
    const std::vector<uint8_t> frame(8 << 20, 0x5A);
    uint32_t written = 0;
    while (writer.WriteChunk(0, frame.data(), frame.size(), true, {}) == ChunkResult::kWritten) ++written;
    EXPECT_TRUE(writer.Full());
    EXPECT_FALSE(writer.Failed());
    // Refused chunks stay refused, even small ones, so streams end together.
    EXPECT_EQ(ChunkResult::kFileFull, writer.WriteChunk(0, frame.data(), 2, true, {}));
    ASSERT_TRUE(writer.WriteTrailer());

    EXPECT_EQ(writer.FileSize(), sink.end);
    EXPECT_LE(sink.end, AviWriter::kRiffFileLimit);
    EXPECT_GT(sink.end + 8 + frame.size() + 16, AviWriter::kRiffFileLimit);  // one more would not have fit
    EXPECT_GT(written, 500u);
    const uint32_t riffSize = avi::ReadU32(sink.head.data() + 4);
    EXPECT_EQ(sink.end - 8, riffSize);
    EXPECT_EQ(written, writer.Totals(0).chunks);
}

TEST(AviWriterLimit, SmallerLimitRefusesTheChunkThatLeavesNoRoomForItsIndexEntry) {
    MemorySink probe;
    AviWriter empty({AudioSpec(8000, 1, 16)}, &probe);
    ASSERT_TRUE(empty.Begin());
    const uint64_t emptySize = probe.file.size();

    // Room for exactly one 100-byte chunk: its 108 bytes plus a 16-byte entry.
    MemorySink sink;
    AviWriter writer({AudioSpec(8000, 1, 16)}, &sink, emptySize + 108 + 16);
    ASSERT_TRUE(writer.Begin());
    const std::vector<uint8_t> block = Pattern(100, 3);
    EXPECT_EQ(ChunkResult::kWritten, writer.WriteChunk(0, block.data(), block.size(), true, {}));
    EXPECT_EQ(ChunkResult::kFileFull, writer.WriteChunk(0, block.data(), 0, true, {}));
    ASSERT_TRUE(writer.WriteTrailer());
    EXPECT_EQ(emptySize + 124, sink.file.size());
    EXPECT_EQ(1u, MustParse(sink.file).index.size());

    MemorySink tooSmall;
    EXPECT_FALSE(AviWriter({AudioSpec(8000, 1, 16)}, &tooSmall, emptySize - 1).Begin());
}

}  // namespace
