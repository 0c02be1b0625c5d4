// The header block: fixed size whatever the totals (it is rewritten in
// place), and the fields a reader takes the stream's nature from.
#include <gtest/gtest.h>

#include "avi_test_reader.h"
#include "avi_test_support.h"
#include "system_filters/avi_header.h"

namespace {

using namespace avi_test;

avi::StreamTotals Totals(uint32_t chunks, uint64_t bytes, uint32_t largest) {
    avi::StreamTotals t;
    t.chunks = chunks;
    t.bytes = bytes;
    t.largestChunk = largest;
    t.timing.frames = chunks;
    return t;
}

TEST(AviHeader, SizeDoesNotDependOnTheTotals) {
    const std::vector<avi::StreamInfo> streams = {VideoSpec(640, 480, 333333), AudioSpec(48000, 2, 16)};
    const auto empty = avi::BuildHeader(streams, {Totals(0, 0, 0), Totals(0, 0, 0)}, 0, 0);
    const auto full = avi::BuildHeader(streams, {Totals(90000, 1u << 31, 614400), Totals(3000, 576000000, 19200)},
                                       0xFFFFFFFF, 0xF0000000);
    EXPECT_EQ(empty.size(), full.size());
    EXPECT_EQ("movi", std::string(full.end() - 4, full.end()));
}

// The header alone, closed with an empty idx1 so the walker reads it as a file.
ParsedAvi ParseHeader(const std::vector<avi::StreamInfo>& streams, const std::vector<avi::StreamTotals>& totals) {
    const size_t headerSize = avi::BuildHeader(streams, totals, 0, 0).size();
    std::vector<uint8_t> file = avi::BuildHeader(streams, totals, headerSize + 8, headerSize);
    const uint8_t idx1[8] = {'i', 'd', 'x', '1', 0, 0, 0, 0};
    file.insert(file.end(), idx1, idx1 + 8);
    ParsedAvi avi;
    EXPECT_EQ("", Parse(file, &avi));
    return avi;
}

TEST(AviHeader, VideoHandlerNamesTheCompressionOrDib) {
    const ParsedAvi yuy2 =
        ParseHeader({VideoSpec(320, 240, 333333, avi::MakeFourCC('Y', 'U', 'Y', '2'), 16)}, {Totals(1, 1, 1)});
    EXPECT_EQ("YUY2", yuy2.streams.at(0).handler);
    const ParsedAvi rgb = ParseHeader({VideoSpec(320, -240, 333333, 0, 32)}, {Totals(1, 1, 1)});
    EXPECT_EQ("DIB ", rgb.streams.at(0).handler);
    // A top-down DIB still has a positive frame height.
    EXPECT_EQ(240u, rgb.main.height);
    EXPECT_EQ(240, rgb.streams.at(0).frameBottom);
}

TEST(AviHeader, AudioCountsBlocksAtTheFormatsByteRate) {
    avi::StreamInfo mono8 = AudioSpec(11025, 1, 8);
    avi::StreamInfo stereo16 = AudioSpec(48000, 2, 16);
    const ParsedAvi avi = ParseHeader({mono8, stereo16}, {Totals(3, 11025, 4000), Totals(5, 192000, 40000)});
    ASSERT_EQ(2u, avi.streams.size());
    EXPECT_EQ(1u, avi.streams[0].scale);
    EXPECT_EQ(11025u, avi.streams[0].rate);
    EXPECT_EQ(11025u, avi.streams[0].length);
    EXPECT_EQ(4u, avi.streams[1].sampleSize);
    EXPECT_EQ(48000u, avi.streams[1].length);
    EXPECT_EQ(40000u, avi.streams[1].suggestedBuffer);
    // Without video the main header counts the first stream's chunks.
    EXPECT_EQ(3u, avi.main.totalFrames);
    EXPECT_EQ(11025u + 192000u, avi.main.maxBytesPerSec);
}

TEST(AviHeader, MainHeaderTakesItsPictureAndFramesFromTheVideoStream) {
    const ParsedAvi avi =
        ParseHeader({AudioSpec(8000, 1, 16), VideoSpec(176, 144, 666667)}, {Totals(7, 700, 100), Totals(15, 15 * 76032, 76032)});
    EXPECT_EQ(15u, avi.main.totalFrames);
    EXPECT_EQ(176u, avi.main.width);
    EXPECT_EQ(144u, avi.main.height);
    EXPECT_EQ(66667u, avi.main.microSecPerFrame);
    EXPECT_EQ(76032u + 8, avi.main.suggestedBuffer);
    EXPECT_EQ(16000u + 76032u * 15, avi.main.maxBytesPerSec);
}

}  // namespace
