// The registered MPEG audio encoder between a test source of PCM buffers and
// a test sink: the formats it takes, its Layer II frames and their times,
// also across a gap in the capture times.
#include <gtest/gtest.h>

#include "dshow_base/streams.h"

#include <mmreg.h>

#include "filters/mpeg/mpeg_filters_api.h"
#include "mpeg_test_support.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace mpeg_filters_test {
namespace {

using graph_test::CTestSink;
using graph_test::CTestSource;
using graph_test::ReceivedFrame;

CMediaType PcmType(WORD tag, int channels, DWORD rate, WORD bits, int bufferFrames) {
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    const WORD align = static_cast<WORD>(channels * bits / 8);
    *wave = {tag, static_cast<WORD>(channels), rate, rate * align, align, bits, 0};
    mt.SetSampleSize(static_cast<ULONG>(bufferFrames * align));
    return mt;
}

CMediaType Pcm(int channels, DWORD rate, int bufferFrames = 4410) {
    return PcmType(WAVE_FORMAT_PCM, channels, rate, 16, bufferFrames);
}

class AudioEncoderGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        encoder_ = graph_test::CreateFilter(CLSID_MpegAudioEncoder, &hr);
        ASSERT_EQ(S_OK, hr) << "MpegFilters.ax not registered";
        ASSERT_EQ(S_OK, graph_.Add(encoder_.Get(), L"Audio Encoder"));
        input_ = graph_test::FirstPin(encoder_.Get(), PINDIR_INPUT, false);
        output_ = graph_test::FirstPin(encoder_.Get(), PINDIR_OUTPUT, false);
        ASSERT_TRUE(input_ && output_);
    }
    void TearDown() override {
        if (graph_.Control()) graph_.Stop();
    }

    // `buffers` PCM buffers stamped `spacing` apart -> encoder -> sink.
    std::vector<ReceivedFrame> Encode(const CMediaType& type, int buffers, REFERENCE_TIME spacing) {
        CTestSource* source = nullptr;
        source_ = CTestSource::Create({type, buffers, 0, spacing}, &source);
        CTestSink* sink = nullptr;
        sink_ = CTestSink::Create({}, &sink);
        EXPECT_EQ(S_OK, graph_.Add(source_.Get(), L"Source"));
        EXPECT_EQ(S_OK, graph_.Add(sink_.Get(), L"Sink"));
        EXPECT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
        EXPECT_EQ(S_OK, graph_.ConnectDirect(output_.Get(), sink->Input()));
        outputType_ = graph_test::ConnectionType(output_.Get());
        EXPECT_EQ(S_OK, graph_.Run());
        EXPECT_TRUE(sink->WaitForEndOfStream(20000));
        EXPECT_EQ(S_OK, graph_.Stop());
        return sink->Frames();
    }

    graph_test::ScopedMta com_;  // first: outlives every COM object below
    graph_test::TestGraph graph_;
    ComPtr<IBaseFilter> encoder_, source_, sink_;
    ComPtr<IPin> input_, output_;
    CMediaType outputType_;
};

TEST_F(AudioEncoderGraph, TakesSixteenBitPcmAtTheMpegRatesOnly) {
    for (int channels : {1, 2}) {
        for (DWORD rate : {32000u, 44100u, 48000u}) {
            CMediaType mt = Pcm(channels, rate);
            EXPECT_EQ(S_OK, input_->QueryAccept(&mt)) << channels << " x " << rate;
        }
    }
    const CMediaType refused[] = {
        PcmType(WAVE_FORMAT_PCM, 2, 44100, 8, 4410),
        PcmType(WAVE_FORMAT_PCM, 2, 22050, 16, 4410),
        PcmType(WAVE_FORMAT_PCM, 3, 48000, 16, 4410),
        PcmType(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32, 4410),
        graph_test::MakeVideoType({}),
    };
    for (const CMediaType& mt : refused) {
        EXPECT_NE(S_OK, input_->QueryAccept(&mt));
        CTestSource* source = nullptr;
        ComPtr<IBaseFilter> filter = CTestSource::Create({mt, 1}, &source);
        EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, input_->ReceiveConnection(source->Output(), &mt));
    }
}

TEST_F(AudioEncoderGraph, SendsLayerTwoFramesTimedFromTheirFirstSample) {
    // Twenty 100 ms buffers of stereo 44.1 kHz, back to back.
    const std::vector<ReceivedFrame> frames = Encode(Pcm(2, 44100), 20, 1000000);
    ASSERT_EQ(FORMAT_WaveFormatEx, outputType_.formattype);
    EXPECT_EQ(MEDIASUBTYPE_MPEG1AudioPayload, outputType_.subtype);
    const auto* wf = reinterpret_cast<const MPEG1WAVEFORMAT*>(outputType_.Format());
    EXPECT_EQ(WAVE_FORMAT_MPEG, wf->wfx.wFormatTag);
    EXPECT_EQ(ACM_MPEG_LAYER2, wf->fwHeadLayer);
    EXPECT_EQ(2, wf->wfx.nChannels);
    EXPECT_EQ(44100u, wf->wfx.nSamplesPerSec);

    // Every input sample is in some frame, plus what the decoder delay needs.
    ASSERT_GE(frames.size() * 1152, 20u * 4410);
    EXPECT_LE(frames.size() * 1152, 20u * 4410 + 2 * 1152);
    for (size_t i = 0; i < frames.size(); ++i) {
        const std::vector<uint8_t>& b = frames[i].bytes;
        ASSERT_GE(b.size(), 4u);
        EXPECT_EQ(0xFF, b[0]) << i;
        EXPECT_EQ(0xFD, b[1]) << "MPEG-1, Layer II, no CRC; frame " << i;
        ASSERT_TRUE(frames[i].timed) << i;
        EXPECT_NEAR(i * 1152 * 1e7 / 44100, static_cast<double>(frames[i].start), 1.0) << i;
    }
}

TEST_F(AudioEncoderGraph, FramesAfterAGapInTheCaptureTimesMoveWithIt) {
    // 100 ms buffers of mono 32 kHz stamped every 200 ms: each buffer's
    // samples belong 100 ms later than counting would put them.
    constexpr int kBufferFrames = 3200;
    const std::vector<ReceivedFrame> frames = Encode(Pcm(1, 32000, kBufferFrames), 10, 2000000);
    ASSERT_GE(frames.size() * 1152, 10u * kBufferFrames);
    // Frames that start inside the input (the padding after it only continues the last buffer).
    for (size_t i = 0; i * 1152 < 10u * kBufferFrames; ++i) {
        const size_t first = i * 1152;
        const size_t buffer = first / kBufferFrames;  // the buffer it starts in
        const double expected = buffer * 2e6 + (first % kBufferFrames) * 1e7 / 32000;
        ASSERT_TRUE(frames[i].timed);
        EXPECT_NEAR(expected, static_cast<double>(frames[i].start), 1.0) << "frame " << i;
    }
}

}  // namespace
}  // namespace mpeg_filters_test
