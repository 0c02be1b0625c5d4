// The registered MPEG multiplexer fed by the two encoders from test sources,
// writing through the dump sink: its pins, and when the system stream is
// finished (end of every input, or the graph leaving the running state).
#include <gtest/gtest.h>

#include <cstring>

#include "filters/mpeg/mpeg_filters_api.h"
#include "mpeg_test_support.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"
#include "dshow_base/tests/registry_probe.h"

namespace mpeg_filters_test {
namespace {

using graph_test::CTestSource;
using graph_test::PinNames;

CMediaType Pcm() {
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    *wave = {WAVE_FORMAT_PCM, 2, 48000, 48000 * 4, 4, 16, 0};
    mt.SetSampleSize(4800 * 4);  // 100 ms
    return mt;
}

class MuxGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        mux_ = graph_test::CreateFilter(CLSID_MpegMultiplexer, &hr);
        ASSERT_EQ(S_OK, hr) << "MpegFilters.ax not registered";
        ASSERT_EQ(S_OK, graph_.Add(mux_.Get(), L"MPG Mux"));
    }
    void TearDown() override {
        if (graph_.Control()) graph_.Stop();
    }

    // A test source (count: frames or buffers, -1 endless) through an encoder; returns the encoder.
    ComPtr<IBaseFilter> AddEncodedSource(bool video, int count) {
        const CMediaType type =
            video ? graph_test::MakeVideoType({pixel_formats::PixelFormat::kYuy2, 160, 120}) : Pcm();
        CTestSource* raw = nullptr;
        // An endless source goes at about the real rate; a counted one as fast as it can.
        const DWORD pacingMs = count < 0 ? (video ? 33 : 100) : 0;
        ComPtr<IBaseFilter> source = CTestSource::Create({type, count, pacingMs, video ? 333333 : 1000000}, &raw);
        ComPtr<IBaseFilter> encoder = graph_test::CreateFilter(video ? CLSID_MpegVideoEncoder : CLSID_MpegAudioEncoder);
        EXPECT_TRUE(source && encoder);
        EXPECT_EQ(S_OK, graph_.Add(source.Get(), video ? L"Video Source" : L"Audio Source"));
        EXPECT_EQ(S_OK, graph_.Add(encoder.Get(), video ? L"Encoder filter" : L"Audio Encoder"));
        EXPECT_EQ(S_OK, graph_.ConnectDirect(raw->Output(),
                                             graph_test::FirstPin(encoder.Get(), PINDIR_INPUT, true).Get()));
        sources_.push_back(source);
        return encoder;
    }
    HRESULT ConnectToMux(IBaseFilter* encoder) {
        return graph_.ConnectDirect(graph_test::FirstPin(encoder, PINDIR_OUTPUT, false).Get(),
                                    graph_test::FirstPin(mux_.Get(), PINDIR_INPUT, true).Get());
    }
    void AddDump(const std::wstring& path) {
        DeleteFileW(path.c_str());
        dump_ = graph_test::CreateFilter(CLSID_DumpFileSink);
        ASSERT_TRUE(dump_);
        ComPtr<IFileSinkFilter> sink;
        ASSERT_EQ(S_OK, dump_->QueryInterface(IID_IFileSinkFilter, sink.PutVoid()));
        ASSERT_EQ(S_OK, sink->SetFileName(path.c_str(), nullptr));
        ASSERT_EQ(S_OK, graph_.Add(dump_.Get(), L"dump"));
        ASSERT_EQ(S_OK, graph_.ConnectDirect(graph_test::FindPin(mux_.Get(), L"Output").Get(),
                                             graph_test::FirstPin(dump_.Get(), PINDIR_INPUT, false).Get()));
    }

    graph_test::ScopedMta com_;  // first: outlives every COM object below
    graph_test::TestGraph graph_;
    ComPtr<IBaseFilter> mux_, dump_;
    std::vector<ComPtr<IBaseFilter>> sources_;
};

TEST_F(MuxGraph, InputPinsComeOnDemandOneVideoAndOneAudio) {
    using Names = std::vector<std::wstring>;
    EXPECT_EQ((Names{L"Input 01", L"Output"}), PinNames(mux_.Get()));
    const ComPtr<IBaseFilter> video = AddEncodedSource(true, 1);
    const ComPtr<IBaseFilter> audio = AddEncodedSource(false, 1);

    ASSERT_EQ(S_OK, ConnectToMux(video.Get()));
    EXPECT_EQ((Names{L"Input 01", L"Input 02", L"Output"}), PinNames(mux_.Get()));
    const ComPtr<IPin> second = graph_test::FindPin(mux_.Get(), L"Input 02");
    const CMediaType videoType =
        graph_test::ConnectionType(graph_test::FirstPin(video.Get(), PINDIR_OUTPUT, false).Get());
    EXPECT_NE(S_OK, second->QueryAccept(&videoType)) << "one video stream only";
    const CMediaType raw[] = {graph_test::MakeVideoType({}), Pcm(), graph_test::MakeStreamType(1)};
    for (const CMediaType& mt : raw) EXPECT_NE(S_OK, second->QueryAccept(&mt));

    ASSERT_EQ(S_OK, ConnectToMux(audio.Get()));
    EXPECT_EQ((Names{L"Input 01", L"Input 02", L"Output"}), PinNames(mux_.Get())) << "no third input";

    ASSERT_EQ(S_OK, graph_.DisconnectPin(second.Get()));
    EXPECT_EQ(3u, PinNames(mux_.Get()).size()) << "one input stays free";
    ASSERT_EQ(S_OK, graph_.DisconnectPin(graph_test::FindPin(mux_.Get(), L"Input 01").Get()));
    EXPECT_EQ((Names{L"Input 01", L"Output"}), PinNames(mux_.Get()));
}

TEST_F(MuxGraph, TheEndOfEveryInputFinishesTheStream) {
    const std::wstring path = OutputPath(L"mux-end-of-stream.mpg");
    ASSERT_EQ(S_OK, ConnectToMux(AddEncodedSource(true, 30).Get()));
    ASSERT_EQ(S_OK, ConnectToMux(AddEncodedSource(false, 10).Get()));
    ASSERT_NO_FATAL_FAILURE(AddDump(path));
    ASSERT_EQ(S_OK, graph_.Run());
    ASSERT_TRUE(WaitForEvent(graph_.Builder(), EC_COMPLETE, 20000));
    // Finished while still running: the end code is there before any Stop.
    const std::vector<uint8_t> finished = ReadWholeFile(path);
    const SystemStreamSummary s = ScanSystemStream(finished);
    EXPECT_EQ("", s.problem);
    EXPECT_TRUE(s.endCodeLast);
    EXPECT_GT(s.videoPackets, 0);
    EXPECT_GT(s.audioPackets, 0);
    ASSERT_EQ(S_OK, graph_.Stop());
    EXPECT_EQ(finished, ReadWholeFile(path));
}

TEST_F(MuxGraph, LeavingTheRunningStateFinishesTheStream) {
    const std::wstring path = OutputPath(L"mux-paused.mpg");
    ASSERT_EQ(S_OK, ConnectToMux(AddEncodedSource(true, -1).Get()));
    ASSERT_NO_FATAL_FAILURE(AddDump(path));
    ASSERT_EQ(S_OK, graph_.Run());
    Sleep(1000);
    ASSERT_EQ(S_OK, graph_.Pause());
    const std::vector<uint8_t> paused = ReadWholeFile(path);
    const SystemStreamSummary s = ScanSystemStream(paused);
    EXPECT_EQ("", s.problem);
    EXPECT_TRUE(s.endCodeLast);
    EXPECT_GT(s.videoPackets, 1);
    Sleep(300);  // whatever still arrives stays out of the finished stream
    ASSERT_EQ(S_OK, graph_.Stop());
    EXPECT_EQ(paused, ReadWholeFile(path));
}

// The sink, paused before the multiplexer failed, checked the name but has
// written nothing, so no file exists; not even while Wine's graph leaves the
// sink paused after the failed run (see StopEveryFilter).
TEST_F(MuxGraph, WithoutInputsTheGraphDoesNotRunAndLeavesNoFile) {
    const std::wstring path = OutputPath(L"mux-no-input.mpg");
    ASSERT_NO_FATAL_FAILURE(AddDump(path));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, graph_.Control()->Run());
    graph_.Control()->Stop();
    EXPECT_FALSE(FileExists(path));
    StopEveryFilter(graph_.Builder());
    EXPECT_FALSE(FileExists(path));
}

}  // namespace
}  // namespace mpeg_filters_test

namespace mpeg_filters_test {
namespace {

// What regsvr32 left in the prefix: four classes served by MpegFilters.ax,
// filters that intelligent connect never picks on their own.
TEST(MpegFiltersRegistration, ClassesAndFiltersNameTheModuleAndDoNotUseMerit) {
    const struct {
        const CLSID* clsid;
        const wchar_t* name;
    } kFilters[] = {{&CLSID_MpegVideoEncoder, L"Talvoro MPEG Video Encoder"},
                    {&CLSID_MpegAudioEncoder, L"Talvoro MPEG Audio Encoder"},
                    {&CLSID_MpegMultiplexer, L"Talvoro MPEG Multiplexer"},
                    {&CLSID_DumpFileSink, L"Talvoro Dump"}};
    for (const auto& f : kFilters) {
        const std::wstring classKey = L"CLSID\\" + GuidText(*f.clsid);
        EXPECT_EQ(f.name, StringValue(classKey, nullptr));
        std::wstring server = StringValue(classKey + L"\\InprocServer32", nullptr);
        CharLowerW(&server[0]);
        ASSERT_GE(server.size(), 16u) << classKey.c_str();
        EXPECT_EQ(L"\\mpegfilters.ax", server.substr(server.size() - 15));
        const std::wstring instance = L"CLSID\\" + GuidText(CLSID_LegacyAmFilterCategory) + L"\\Instance\\" +
                                      GuidText(*f.clsid);
        EXPECT_EQ(f.name, StringValue(instance, L"FriendlyName"));
        BYTE data[1024];
        DWORD size = sizeof data;
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CLASSES_ROOT, instance.c_str(), L"FilterData", RRF_RT_REG_BINARY,
                                              nullptr, data, &size));
        DWORD merit = 0;
        std::memcpy(&merit, data + 4, sizeof merit);
        EXPECT_EQ(static_cast<DWORD>(MERIT_DO_NOT_USE), merit) << classKey.c_str();
    }
}

}  // namespace
}  // namespace mpeg_filters_test
