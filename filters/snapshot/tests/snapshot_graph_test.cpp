// The registered snapshot filter between a test source and a test sink in
// Wine's (or Windows') filter graph manager: its pins and types, samples
// passed through unchanged on both delivery paths, and snapshots of the
// latest frame in every graph state.
#include <gtest/gtest.h>

#include <cstring>

#include "filters/snapshot/tests/snapshot_request.h"
#include "testing/graph_support/test_files.h"
#include "filters/snapshot/snapshot_api.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"
#include "dshow_base/tests/registry_probe.h"
#include "testing/window_harness/waiting.h"

namespace snapshot_test {

using graph_test::TempFolder;
using graph_test::BmpFile;
using graph_test::LoadBmp;
namespace {

using pixel_formats::PixelFormat;
using graph_test::CTestSink;
using graph_test::CTestSource;
using graph_test::FramePattern;
using graph_test::MakeVideoType;

const GUID kMjpg = {0x47504A4D, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

CMediaType PcmType() {
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    *wave = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    mt.SetSampleSize(4);
    return mt;
}

class SnapshotGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        filter_ = graph_test::CreateFilter(CLSID_SnapshotFilter, &hr);
        ASSERT_EQ(S_OK, hr) << "Snapshot.ax not registered";
        ASSERT_EQ(S_OK, filter_->QueryInterface(IID_ISnapshotFilter, snapshot_.PutVoid()));
        ASSERT_EQ(S_OK, graph_.Add(filter_.Get(), L"Snapshot Filter"));
        input_ = graph_test::FindPin(filter_.Get(), L"Input");
        output_ = graph_test::FindPin(filter_.Get(), L"Output");
        ASSERT_TRUE(input_ && output_);
    }
    void TearDown() override {
        if (graph_.Control()) graph_.Stop();
    }

    CTestSource* AddSource(const CMediaType& type, int frames, DWORD pacingMs = 0) {
        CTestSource* raw = nullptr;
        source_ = CTestSource::Create({type, frames, pacingMs}, &raw);
        EXPECT_EQ(S_OK, graph_.Add(source_.Get(), L"Source"));
        return raw;
    }
    CTestSink* AddSink(const CTestSink::Options& options = {}) {
        CTestSink* raw = nullptr;
        sink_ = CTestSink::Create(options, &raw);
        EXPECT_EQ(S_OK, graph_.Add(sink_.Get(), L"Sink"));
        return raw;
    }
    // source -> snapshot -> sink, run until the sink has every frame.
    void Stream(const CMediaType& type, int frames, CTestSink::AllocatorPolicy policy, bool scribble = false) {
        source_raw_ = AddSource(type, frames);
        CTestSink::Options options;
        options.policy = policy;
        options.scribble = scribble;
        sink_raw_ = AddSink(options);
        ASSERT_EQ(S_OK, graph_.ConnectDirect(source_raw_->Output(), input_.Get()));
        ASSERT_EQ(S_OK, graph_.ConnectDirect(output_.Get(), sink_raw_->Input()));
        ASSERT_EQ(S_OK, graph_.Run());
        ASSERT_TRUE(sink_raw_->WaitForFrames(frames, 5000));
    }
    HRESULT Snap(const std::string& path, uint32_t format = kSnapshotBitmap) {
        const SnapshotRequest request = MakeRequest(path, format);
        return snapshot_->TakeSnapshot(1, &request);
    }

    graph_test::ScopedMta com_;
    graph_test::TestGraph graph_;
    ComPtr<IBaseFilter> filter_, source_, sink_;
    ComPtr<ISnapshotFilter> snapshot_;
    ComPtr<IPin> input_, output_;
    CTestSource* source_raw_ = nullptr;
    CTestSink* sink_raw_ = nullptr;
    TempFolder folder_;
};

TEST_F(SnapshotGraph, HasOneInputAndOneOutputPin) {
    EXPECT_EQ((std::vector<std::wstring>{L"Input", L"Output"}), graph_test::PinNames(filter_.Get()));
    PIN_DIRECTION dir;
    ASSERT_EQ(S_OK, input_->QueryDirection(&dir));
    EXPECT_EQ(PINDIR_INPUT, dir);
    ASSERT_EQ(S_OK, output_->QueryDirection(&dir));
    EXPECT_EQ(PINDIR_OUTPUT, dir);
    int kind = 0;
    ASSERT_EQ(S_OK, snapshot_->GetRequestKind(&kind));
    EXPECT_EQ(1, kind);
}

TEST_F(SnapshotGraph, InputTakesUncompressedVideoInEitherFormatBlock) {
    for (PixelFormat format : {PixelFormat::kRgb24, PixelFormat::kRgb32, PixelFormat::kYuy2, PixelFormat::kUyvy,
                               PixelFormat::kI420, PixelFormat::kRgb565}) {
        for (bool videoInfo2 : {false, true}) {
            const CMediaType type = MakeVideoType({format, 64, 48, 0, videoInfo2});
            EXPECT_EQ(S_OK, input_->QueryAccept(&type))
                << pixel_formats::PixelFormatName(format) << (videoInfo2 ? " VideoInfo2" : " VideoInfo");
        }
    }
}

TEST_F(SnapshotGraph, InputRefusesCompressedAndNonVideoTypes) {
    const CMediaType refused[] = {
        graph_test::MakeOtherVideoType(kMjpg, kMjpg.Data1, 24, 64, 48),
        PcmType(),
        graph_test::MakeStreamType(4096),
    };
    for (const CMediaType& type : refused) EXPECT_NE(S_OK, input_->QueryAccept(&type));
    // Nor does a source offering only such a type get connected.
    CTestSource* source = AddSource(refused[0], 0);
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(source->Output(), input_.Get())));
    EXPECT_FALSE(graph_test::IsConnected(input_.Get()));
}

TEST_F(SnapshotGraph, OutputOffersAndTakesOnlyTheInputType) {
    const CMediaType rgb24 = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    CTestSource* source = AddSource(rgb24, 0);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, output_->EnumMediaTypes(types.Put()));
    std::vector<CMediaType> offered;
    AM_MEDIA_TYPE* type = nullptr;
    while (types->Next(1, &type, nullptr) == S_OK) {
        offered.emplace_back(*type);
        DeleteMediaType(type);
    }
    ASSERT_EQ(1u, offered.size());
    EXPECT_TRUE(offered[0] == rgb24);
    const CMediaType rgb32 = MakeVideoType({PixelFormat::kRgb32, 64, 48});
    EXPECT_NE(S_OK, output_->QueryAccept(&rgb32));
    // A sink that takes only another format cannot be connected.
    CTestSink::Options picky;
    picky.accepts = [](const CMediaType& mt) { return mt.subtype == MEDIASUBTYPE_RGB32; };
    CTestSink* sink = AddSink(picky);
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(output_.Get(), sink->Input())));
}

void ExpectUnchanged(CTestSink* sink, const CMediaType& type, int count) {
    const auto frames = sink->Frames();
    ASSERT_EQ(static_cast<size_t>(count), frames.size());
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(FramePattern(i, type.GetSampleSize()), frames[i].bytes) << "frame " << i;
        EXPECT_TRUE(frames[i].timed);
        EXPECT_EQ(i * 333333LL, frames[i].start);
        EXPECT_EQ((i + 1) * 333333LL, frames[i].stop);
    }
}

TEST_F(SnapshotGraph, SamplesGoOnAsTheyCameWhenDownstreamSharesTheAllocator) {
    const CMediaType type = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    Stream(type, 12, CTestSink::AllocatorPolicy::kAny);
    // Upstream's buffers reached the sink: no copy on this path.
    EXPECT_FALSE(sink_raw_->AllocatorIsOwn());
    ExpectUnchanged(sink_raw_, type, 12);
}

TEST_F(SnapshotGraph, SamplesAreCopiedUnchangedWhenDownstreamWantsItsOwnBuffers) {
    const CMediaType type = MakeVideoType({PixelFormat::kI420, 64, 48, 0, true});
    Stream(type, 12, CTestSink::AllocatorPolicy::kOwnOnly);
    EXPECT_TRUE(sink_raw_->AllocatorIsOwn());
    ExpectUnchanged(sink_raw_, type, 12);
}

TEST_F(SnapshotGraph, SnapshotHoldsTheLastFrameThroughPauseAndStop) {
    // Bottom-up RGB24 at the DIB stride is laid out as a BMP's pixels are,
    // so the file must carry the frame's bytes as they are.
    const CMediaType type = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    Stream(type, 7, CTestSink::AllocatorPolicy::kAny);
    const std::vector<uint8_t> last = FramePattern(6, type.GetSampleSize());
    for (int state = 0; state < 3; ++state) {
        const HRESULT changed = state == 1 ? graph_.Pause() : state == 2 ? graph_.Stop() : S_OK;
        ASSERT_EQ(S_OK, changed) << "state " << state;
        const std::string path = folder_.File("last" + std::to_string(state) + ".bmp");
        ASSERT_EQ(S_OK, Snap(path)) << "state " << state;
        BmpFile bmp;
        ASSERT_TRUE(LoadBmp(path, &bmp));
        EXPECT_EQ(64, bmp.info.biWidth);
        EXPECT_EQ(48, bmp.info.biHeight);
        EXPECT_EQ(last, bmp.pixels) << "state " << state;
    }
}

TEST_F(SnapshotGraph, DownstreamWritingIntoSharedBuffersDoesNotReachTheSnapshot) {
    const CMediaType type = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    Stream(type, 3, CTestSink::AllocatorPolicy::kWritableOnly, /*scribble=*/true);
    EXPECT_FALSE(sink_raw_->AllocatorIsOwn());
    ASSERT_EQ(S_OK, graph_.Stop());
    ASSERT_EQ(S_OK, Snap(folder_.File("kept.bmp")));
    BmpFile bmp;
    ASSERT_TRUE(LoadBmp(folder_.File("kept.bmp"), &bmp));
    EXPECT_EQ(FramePattern(2, type.GetSampleSize()), bmp.pixels);
}

TEST_F(SnapshotGraph, RefusesBeforeTheFirstFrameAndForOtherKinds) {
    const CMediaType type = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    CTestSource* source = AddSource(type, 0);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    EXPECT_EQ(VFW_E_WRONG_STATE, Snap(folder_.File("early.bmp")));
    EXPECT_EQ(VFW_E_WRONG_STATE, Snap(folder_.File("early.jpg"), kSnapshotJpeg));
    const SnapshotRequest request = MakeRequest(folder_.File("kind.bmp"), kSnapshotBitmap);
    EXPECT_EQ(E_INVALIDARG, snapshot_->TakeSnapshot(0, &request));
    EXPECT_EQ(E_INVALIDARG, snapshot_->TakeSnapshot(2, &request));
    EXPECT_EQ(E_POINTER, snapshot_->TakeSnapshot(1, nullptr));
    EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(SnapshotGraph, KeepsFramesWithNothingDownstream) {
    const CMediaType type = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    CTestSource* source = AddSource(type, -1, 5);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    ASSERT_EQ(S_OK, graph_.Run());
    ASSERT_TRUE(harness::WaitUntil([&] { return source->FramesSent() >= 3; }, 2000, 10));
    EXPECT_EQ(S_OK, Snap(folder_.File("alone.bmp")));
}

TEST_F(SnapshotGraph, AReconnectionWithAnotherSizeMovesOutputAndSnapshotsAlong) {
    const CMediaType big = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    Stream(big, 3, CTestSink::AllocatorPolicy::kAny);
    ASSERT_EQ(S_OK, graph_.Stop());

    const CMediaType small = MakeVideoType({PixelFormat::kRgb32, 32, 24});
    source_raw_->SetType(small);
    ASSERT_EQ(S_OK, graph_.DisconnectPin(input_.Get()));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source_raw_->Output(), input_.Get()));
    // The filter moved its output to the new type and is passing through again.
    EXPECT_TRUE(graph_test::ConnectionType(output_.Get()) == small);
    sink_raw_->Reset();
    ASSERT_EQ(S_OK, graph_.Run());
    ASSERT_TRUE(sink_raw_->WaitForFrames(3, 5000));
    EXPECT_FALSE(sink_raw_->AllocatorIsOwn());
    ExpectUnchanged(sink_raw_, small, 3);

    ASSERT_EQ(S_OK, Snap(folder_.File("small.bmp")));
    BmpFile bmp;
    ASSERT_TRUE(LoadBmp(folder_.File("small.bmp"), &bmp));
    EXPECT_EQ(32, bmp.info.biWidth);
    EXPECT_EQ(24, bmp.info.biHeight);
}

}  // namespace
}  // namespace snapshot_test

namespace snapshot_test {
namespace {

// What regsvr32 left in the prefix: a COM class served by Snapshot.ax and a
// filter that intelligent connect never picks on its own.
TEST(SnapshotRegistration, ClassAndFilterEntriesNameTheModuleAndDoNotUseMerit) {
    const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_SnapshotFilter);
    EXPECT_EQ(L"Talvoro Snapshot Filter", StringValue(classKey, nullptr));
    std::wstring server = StringValue(classKey + L"\\InprocServer32", nullptr);
    CharLowerW(&server[0]);
    ASSERT_GE(server.size(), 12u);
    EXPECT_EQ(L"\\snapshot.ax", server.substr(server.size() - 12));
    EXPECT_EQ(L"Both", StringValue(classKey + L"\\InprocServer32", L"ThreadingModel"));

    const std::wstring instance = L"CLSID\\" + GuidText(CLSID_LegacyAmFilterCategory) + L"\\Instance\\" +
                                  GuidText(CLSID_SnapshotFilter);
    EXPECT_EQ(L"Talvoro Snapshot Filter", StringValue(instance, L"FriendlyName"));
    BYTE data[1024];
    DWORD size = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CLASSES_ROOT, instance.c_str(), L"FilterData", RRF_RT_REG_BINARY,
                                          nullptr, data, &size));
    ASSERT_GE(size, 8u);
    DWORD merit = 0;
    std::memcpy(&merit, data + 4, sizeof merit);  // after the REGFILTER2 version
    EXPECT_EQ(static_cast<DWORD>(MERIT_DO_NOT_USE), merit);
}

}  // namespace
}  // namespace snapshot_test
