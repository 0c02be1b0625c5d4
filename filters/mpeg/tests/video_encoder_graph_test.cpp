// The registered MPEG video encoder between a test source and a test sink:
// the types it takes and gives, the pictures and times it sends, repeated
// pictures for lost frames, and its settings through the vtable slots.
#include <gtest/gtest.h>

#include <cstring>

#include "filters/mpeg/mpeg_filters_api.h"
#include "mpeg_test_support.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace mpeg_filters_test {
namespace {

using pixel_formats::PixelFormat;
using graph_test::CTestSink;
using graph_test::CTestSource;
using graph_test::MakeVideoType;
using graph_test::ReceivedFrame;

constexpr REFERENCE_TIME kFrame = 333333;
const GUID kMjpg = {0x47504A4D, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

CMediaType VideoType(PixelFormat format, int width, int height, REFERENCE_TIME frame = kFrame) {
    CMediaType mt = MakeVideoType({format, width, height});
    reinterpret_cast<VIDEOINFOHEADER*>(mt.Format())->AvgTimePerFrame = frame;
    return mt;
}

// The pictures among what the sink got: samples with a time (the end code has none).
std::vector<ReceivedFrame> Pictures(const std::vector<ReceivedFrame>& frames) {
    std::vector<ReceivedFrame> pictures;
    for (const ReceivedFrame& f : frames) {
        if (f.timed) pictures.push_back(f);
    }
    return pictures;
}

class VideoEncoderGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        encoder_ = graph_test::CreateFilter(CLSID_MpegVideoEncoder, &hr);
        ASSERT_EQ(S_OK, hr) << "MpegFilters.ax not registered";
        ASSERT_EQ(S_OK, encoder_->QueryInterface(IID_IEncoderSettings, settings_.PutVoid()));
        ASSERT_EQ(S_OK, encoder_->QueryInterface(IID_IEncoderParams, params_.PutVoid()));
        ASSERT_EQ(S_OK, graph_.Add(encoder_.Get(), L"Encoder filter"));
        input_ = graph_test::FirstPin(encoder_.Get(), PINDIR_INPUT, false);
        output_ = graph_test::FirstPin(encoder_.Get(), PINDIR_OUTPUT, false);
        ASSERT_TRUE(input_ && output_);
    }
    void TearDown() override {
        if (graph_.Control()) graph_.Stop();
    }

    CTestSource* AddSource(const CMediaType& type, int frames, REFERENCE_TIME spacing = kFrame) {
        CTestSource* raw = nullptr;
        CTestSource::Options options{type, frames, 0, spacing};
        source_ = CTestSource::Create(options, &raw);
        EXPECT_EQ(S_OK, graph_.Add(source_.Get(), L"Source"));
        return raw;
    }
    CTestSink* AddSink(const CTestSink::Options& options = {}) {
        CTestSink* raw = nullptr;
        sink_ = CTestSink::Create(options, &raw);
        EXPECT_EQ(S_OK, graph_.Add(sink_.Get(), L"Sink"));
        return raw;
    }
    // source -> encoder -> sink until the sink saw the end of the stream.
    std::vector<ReceivedFrame> Encode(const CMediaType& type, int frames, REFERENCE_TIME spacing = kFrame) {
        CTestSource* source = AddSource(type, frames, spacing);
        CTestSink* sink = AddSink();
        EXPECT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
        EXPECT_EQ(S_OK, graph_.ConnectDirect(output_.Get(), sink->Input()));
        EXPECT_EQ(S_OK, graph_.Run());
        EXPECT_TRUE(sink->WaitForEndOfStream(20000));
        EXPECT_EQ(S_OK, graph_.Stop());
        sink_raw_ = sink;
        return sink->Frames();
    }

    graph_test::ScopedMta com_;  // first: outlives every COM object below
    graph_test::TestGraph graph_;
    ComPtr<IBaseFilter> encoder_, source_, sink_;
    ComPtr<IUnknown> settings_, params_;
    ComPtr<IPin> input_, output_;
    CTestSink* sink_raw_ = nullptr;
};

TEST_F(VideoEncoderGraph, TakesUncompressedVideoAndRefusesTheRest) {
    for (PixelFormat f : {PixelFormat::kYuy2, PixelFormat::kI420, PixelFormat::kRgb24, PixelFormat::kRgb32,
                          PixelFormat::kUyvy, PixelFormat::kRgb565}) {
        CMediaType mt = VideoType(f, 320, 240);
        EXPECT_EQ(S_OK, input_->QueryAccept(&mt)) << pixel_formats::PixelFormatName(f);
    }
    const CMediaType refused[] = {
        graph_test::MakeOtherVideoType(MEDIASUBTYPE_RGB8, BI_RGB, 8, 320, 240),
        graph_test::MakeOtherVideoType(kMjpg, kMjpg.Data1, 24, 320, 240),
        VideoType(PixelFormat::kYuy2, 8, 8),  // smaller than a macroblock
        graph_test::MakeStreamType(4096),
    };
    for (const CMediaType& mt : refused) EXPECT_NE(S_OK, input_->QueryAccept(&mt));
    // A source offering only RGB8 cannot connect; offered that type, the pin says why.
    CTestSource* source = AddSource(refused[0], 1);
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, input_->ReceiveConnection(source->Output(), &refused[0]));
    EXPECT_FALSE(SUCCEEDED(graph_.ConnectDirect(source->Output(), input_.Get())));
    EXPECT_FALSE(graph_test::IsConnected(input_.Get()));
}

TEST_F(VideoEncoderGraph, OffersAnMpegVideoStreamOfTheInputsSizeOnlyAfterConnection) {
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(S_OK, output_->EnumMediaTypes(&types));
    AM_MEDIA_TYPE* mt = nullptr;
    EXPECT_NE(S_OK, types->Next(1, &mt, nullptr)) << "nothing to offer before the input connects";
    types->Release();

    CTestSource* source = AddSource(VideoType(PixelFormat::kI420, 352, 288, 400000), 1);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    ASSERT_EQ(S_OK, output_->EnumMediaTypes(&types));
    ASSERT_EQ(S_OK, types->Next(1, &mt, nullptr));
    types->Release();
    EXPECT_EQ(MEDIATYPE_Video, mt->majortype);
    EXPECT_EQ(MEDIASUBTYPE_MPEG1Payload, mt->subtype);
    ASSERT_EQ(FORMAT_MPEGVideo, mt->formattype);
    const auto* info = reinterpret_cast<const MPEG1VIDEOINFO*>(mt->pbFormat);
    EXPECT_EQ(352, info->hdr.bmiHeader.biWidth);
    EXPECT_EQ(288, info->hdr.bmiHeader.biHeight);
    EXPECT_EQ(400000, info->hdr.AvgTimePerFrame);
    ASSERT_EQ(12u, info->cbSequenceHeader);
    const std::vector<uint8_t> header(info->bSequenceHeader, info->bSequenceHeader + 12);
    const SequenceHeader seq = FindSequenceHeader(header);
    EXPECT_EQ(352, seq.width);
    EXPECT_EQ(288, seq.height);
    EXPECT_EQ(3, header[7] & 0x0F) << "picture_rate code 3 is 25 per second";
    DeleteMediaType(mt);

    // Only an MPEG-1 video consumer takes it: not a renderer of raw pictures.
    CTestSink::Options picky;
    picky.accepts = [](const CMediaType& t) { return t.subtype == MEDIASUBTYPE_YUY2; };
    CTestSink* sink = AddSink(picky);
    EXPECT_NE(S_OK, graph_.ConnectDirect(output_.Get(), sink->Input()));
}

TEST_F(VideoEncoderGraph, CodesOnePictureForEveryFrameWithItsTimes) {
    constexpr int kFrames = 31;
    const std::vector<ReceivedFrame> frames = Encode(VideoType(PixelFormat::kYuy2, 160, 120), kFrames);
    const std::vector<ReceivedFrame> pictures = Pictures(frames);
    ASSERT_EQ(static_cast<size_t>(kFrames), pictures.size());
    for (int i = 0; i < kFrames; ++i) {
        EXPECT_EQ(i * kFrame, pictures[i].start) << i;
        EXPECT_EQ((i + 1) * kFrame, pictures[i].stop) << i;
        // Groups of 15: an I picture with the sequence header, then P pictures.
        const bool groupStart = i % 15 == 0;
        EXPECT_EQ(groupStart ? 1 : 2, FirstPictureType(pictures[i].bytes)) << i;
        const SequenceHeader seq = FindSequenceHeader(pictures[i].bytes);
        EXPECT_EQ(groupStart, seq.present) << i;
        if (seq.present) {
            EXPECT_EQ(160, seq.width);
            EXPECT_EQ(120, seq.height);
        }
    }
    // End of stream brings the sequence end code, in a sample of its own.
    ASSERT_FALSE(frames.back().timed);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 1, 0xB7}), frames.back().bytes);
}

TEST_F(VideoEncoderGraph, RepeatsThePreviousPictureWhereFramesWereLost) {
    // Stamped every other frame period: one frame lost before each.
    constexpr int kFrames = 10;
    const std::vector<ReceivedFrame> pictures =
        Pictures(Encode(VideoType(PixelFormat::kRgb24, 160, 120), kFrames, 2 * kFrame));
    ASSERT_EQ(static_cast<size_t>(2 * kFrames - 1), pictures.size());
    size_t codedBytes = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(static_cast<REFERENCE_TIME>(i) * kFrame, pictures[i].start) << i;
        if (i % 2 == 0) codedBytes += pictures[i].bytes.size();
    }
    // Within a group a repeat is a picture of skipped macroblocks: a few
    // bytes where the source's noise costs thousands. (Picture 15 starts a
    // group, so it is a whole I picture, repeat or not.)
    const size_t averageCoded = codedBytes / kFrames;
    for (size_t i = 1; i < pictures.size(); i += 2) {
        if (i % 15 == 0) continue;
        EXPECT_EQ(2, FirstPictureType(pictures[i].bytes)) << i;
        EXPECT_LT(pictures[i].bytes.size() * 20, averageCoded) << i;
    }
}

TEST_F(VideoEncoderGraph, CodesOnlyWhatArrivesWithFillingSwitchedOff) {
    ASSERT_EQ(S_OK, CallSlot(params_.Get(), 4, static_cast<int>(kEncoderParamFillDropped), 0));
    const std::vector<ReceivedFrame> pictures =
        Pictures(Encode(VideoType(PixelFormat::kRgb24, 160, 120), 10, 2 * kFrame));
    ASSERT_EQ(10u, pictures.size());
    EXPECT_EQ(18 * kFrame, pictures.back().start);
}

// The block as the capture engine treats it: other bytes and bits are the
// encoder's and come back as they were; the quality bits are applied.
TEST_F(VideoEncoderGraph, SettingsBlockRoundTripThroughSlots12And13) {
    DWORD size = 0;
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 3, &size));
    EXPECT_EQ(864u, size);
    BYTE block[864];
    std::memset(block, 0xCC, sizeof block);
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 12, static_cast<BYTE*>(block)));
    EXPECT_EQ(1 << 1, block[812] & 0x1E) << "a new encoder records at normal quality";
    int quality = -1;
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 4, &quality));
    EXPECT_EQ(1, quality);

    BYTE edited[864];
    std::memcpy(edited, block, sizeof edited);
    for (int i = 100; i < 110; ++i) edited[i] = static_cast<BYTE>(i);  // the host's own use of spare bytes
    edited[812] = static_cast<BYTE>((edited[812] & ~0x1E) | (2 << 1));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 8, 1, 1, 0));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 13, static_cast<const BYTE*>(edited)));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 4, &quality));
    EXPECT_EQ(2, quality);

    BYTE again[864];
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 12, static_cast<BYTE*>(again)));
    EXPECT_EQ(0, std::memcmp(edited, again, sizeof again)) << "every byte as given back";

    // Not a block of ours: refused, nothing changes.
    BYTE zeros[864] = {};
    EXPECT_EQ(E_INVALIDARG, CallSlot(settings_.Get(), 13, static_cast<const BYTE*>(zeros)));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 4, &quality));
    EXPECT_EQ(2, quality);
    // Only the structure the encoder codes: I and P pictures in closed groups.
    EXPECT_EQ(E_INVALIDARG, CallSlot(settings_.Get(), 8, 1, 3, 2));
    int closed = 0, distance = 0, b = -1;
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 9, &closed, &distance, &b));
    EXPECT_EQ(1, closed);
    EXPECT_EQ(1, distance);
    EXPECT_EQ(0, b);
}

TEST_F(VideoEncoderGraph, ParametersBySlotNumber) {
    EXPECT_EQ(S_OK, CallSlot(params_.Get(), 4, 96, 1));
    int value = -1;
    ASSERT_EQ(S_OK, CallSlot(params_.Get(), 3, 96, &value));
    EXPECT_EQ(1, value);
    EXPECT_EQ(S_OK, CallSlot(params_.Get(), 4, static_cast<int>(kEncoderParamGopLength), 30));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 6, &value));
    EXPECT_EQ(30, value);
    EXPECT_EQ(E_INVALIDARG, CallSlot(params_.Get(), 4, 96, 2));
    EXPECT_EQ(E_INVALIDARG, CallSlot(params_.Get(), 4, 97, 1));
    EXPECT_EQ(E_INVALIDARG, CallSlot(params_.Get(), 4, static_cast<int>(kEncoderParamQuality), 3));
    EXPECT_EQ(E_INVALIDARG, CallSlot(settings_.Get(), 7, 0));
}

TEST_F(VideoEncoderGraph, PictureSizeAndBitRateFollowTheInputAndTheQuality) {
    int width = 0, height = 0, low = 0, high = 0;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, CallSlot(settings_.Get(), 10, &width, &height));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, CallSlot(settings_.Get(), 11, &low));
    CTestSource* source = AddSource(VideoType(PixelFormat::kYuy2, 640, 480), 1);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 10, &width, &height));
    EXPECT_EQ(640, width);
    EXPECT_EQ(480, height);
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 5, 0));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 11, &low));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 5, 2));
    ASSERT_EQ(S_OK, CallSlot(settings_.Get(), 11, &high));
    EXPECT_GT(low, 0);
    EXPECT_GT(high, low);
}

// A new quality shows in the sequence headers (their bit rate is the
// quality's ceiling) from the next start on, never in the middle of a stream.
TEST_F(VideoEncoderGraph, QualityTakesEffectAtTheNextStart) {
    ASSERT_EQ(S_OK, CallSlot(params_.Get(), 4, static_cast<int>(kEncoderParamQuality), 0));
    CTestSource* source = AddSource(VideoType(PixelFormat::kYuy2, 160, 120), -1);
    CTestSink* sink = AddSink();
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(output_.Get(), sink->Input()));

    const auto headerRates = [&](size_t from) {
        std::vector<int> rates;
        const std::vector<ReceivedFrame> frames = sink->Frames();
        for (size_t i = from; i < frames.size(); ++i) {
            const SequenceHeader seq = FindSequenceHeader(frames[i].bytes);
            if (seq.present) rates.push_back(seq.bitRate);
        }
        return rates;
    };
    ASSERT_EQ(S_OK, graph_.Run());
    ASSERT_TRUE(sink->WaitForFrames(20, 10000));
    ASSERT_EQ(S_OK, CallSlot(params_.Get(), 4, static_cast<int>(kEncoderParamQuality), 2));
    const size_t changedAt = sink->FrameCount();
    ASSERT_TRUE(sink->WaitForFrames(changedAt + 31, 10000));
    ASSERT_EQ(S_OK, graph_.Stop());
    const std::vector<int> first = headerRates(0);
    ASSERT_GE(first.size(), 3u);
    for (int rate : first) EXPECT_EQ(first[0], rate) << "changed while streaming";

    sink->Reset();
    ASSERT_EQ(S_OK, graph_.Run());
    ASSERT_TRUE(sink->WaitForFrames(1, 10000));
    ASSERT_EQ(S_OK, graph_.Stop());
    const std::vector<int> second = headerRates(0);
    ASSERT_FALSE(second.empty());
    EXPECT_GT(second[0], first[0]);
}

}  // namespace
}  // namespace mpeg_filters_test
