// Recordings from the test camera and microphone through the MPEG filters,
// in the graph the capture engine builds: camera -> tee -> snapshot ->
// colour converter -> renderer for the preview, tee -> video encoder -> mux,
// microphone -> audio encoder -> mux, mux -> dump. The files stay in
// WEBCAM_TEST_OUT for the ffprobe steps that follow (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <string>

#include "dshow_base/streams.h"
#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/snapshot/snapshot_api.h"
#include "mpeg_test_support.h"
#include "testing/graph_support/test_graph.h"
#include "dshow_base/video_media_type.h"

namespace mpeg_filters_test {
namespace {

using graph_test::ScopedMta;
using graph_test::TestGraph;

const wchar_t kCamera[] = L"Talvoro Test Camera";
const wchar_t kMicrophone[] = L"Talvoro Test Microphone";
// 3 s of pictures: Wine's stream time starts some 200 ms after Run returns.
constexpr DWORD kRecordMs = 3200;

struct Recording {
    const wchar_t* file;
    GUID cameraFormat;
    int width;
    int height;
    bool sound;
    int quality;
};

struct Graph {
    TestGraph graph;
    ComPtr<IBaseFilter> camera, snapshot, renderer, microphone, tee, colour, mux, encoder, dump, audioEncoder;
};

// The preview build, then the MPEG recording build, in the engine's order.
void BuildLikeTheEngine(const Recording& r, const std::wstring& path, Graph* g) {
    IGraphBuilder* b = nullptr;
    ASSERT_EQ(S_OK, g->graph.Create());
    b = g->graph.Builder();
    ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_VideoInputDeviceCategory, kCamera, &g->camera));
    ASSERT_EQ(S_OK, SetCameraFormat(g->camera.Get(), r.cameraFormat, r.width, r.height));
    ASSERT_EQ(S_OK, g->graph.Add(g->camera.Get(), L"Video Capture"));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_SnapshotFilter, &g->snapshot));
    ASSERT_EQ(S_OK, g->graph.Add(g->snapshot.Get(), L"Snapshot Filter"));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_VideoRenderer, &g->renderer));
    ASSERT_EQ(S_OK, g->graph.Add(g->renderer.Get(), L"Video Render"));
    ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_AudioInputDeviceCategory, kMicrophone, &g->microphone));
    ASSERT_EQ(S_OK, g->graph.Add(g->microphone.Get(), L"Audio Capture Filter"));

    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_InfTee, &g->tee));
    ASSERT_EQ(S_OK, g->graph.Add(g->tee.Get(), L"InfPin Filter"));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_Colour, &g->colour));
    ASSERT_EQ(S_OK, g->graph.Add(g->colour.Get(), L"colorspace Filter"));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_MpegMultiplexer, &g->mux));
    ASSERT_EQ(S_OK, g->graph.Add(g->mux.Get(), L"MPG Mux"));
    ASSERT_EQ(S_OK, graph_test::Connect(b, g->camera.Get(), g->tee.Get()));
    ASSERT_EQ(S_OK, graph_test::Connect(b, g->tee.Get(), g->snapshot.Get()));
    ASSERT_EQ(S_OK, graph_test::Connect(b, g->snapshot.Get(), g->colour.Get()));
    ASSERT_EQ(S_OK, graph_test::Connect(b, g->colour.Get(), g->renderer.Get()));

    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_MpegVideoEncoder, &g->encoder));
    ASSERT_EQ(S_OK, g->graph.Add(g->encoder.Get(), L"Encoder filter"));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_DumpFileSink, &g->dump));
    ASSERT_EQ(S_OK, g->graph.Add(g->dump.Get(), L"dump"));
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(S_OK, g->dump->QueryInterface(IID_IFileSinkFilter, sink.PutVoid()));
    ASSERT_EQ(S_OK, sink->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph_test::Connect(b, g->tee.Get(), g->encoder.Get()));
    EXPECT_EQ(S_OK, graph_test::Connect(b, g->encoder.Get(), g->mux.Get()));
    if (r.sound) {
        ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_MpegAudioEncoder, &g->audioEncoder));
        ASSERT_EQ(S_OK, g->graph.Add(g->audioEncoder.Get(), L"Audio Encoder"));
        ASSERT_EQ(S_OK, graph_test::Connect(b, g->microphone.Get(), g->audioEncoder.Get()));
        EXPECT_EQ(S_OK, graph_test::Connect(b, g->audioEncoder.Get(), g->mux.Get()));
    }
    ASSERT_EQ(S_OK, graph_test::Connect(b, g->mux.Get(), g->dump.Get()));

    const EngineSetup setup = ConfigureEncoderLikeTheEngine(g->encoder.Get(), r.quality);
    EXPECT_EQ(S_OK, setup.getBlock);
    EXPECT_EQ(S_OK, setup.structure);
    EXPECT_EQ(S_OK, setup.setBlock);
    ASSERT_EQ(S_OK, setup.param);
}

void Record(const Recording& r) {
    ScopedMta com;
    const std::wstring path = OutputPath(r.file);
    DeleteFileW(path.c_str());
    Graph g;
    ASSERT_NO_FATAL_FAILURE(BuildLikeTheEngine(r, path, &g));

    ASSERT_TRUE(SUCCEEDED(g.graph.Control()->Run()));
    graph_test::PumpFor(kRecordMs);
    // The engine's stop sequence.
    ASSERT_TRUE(SUCCEEDED(g.graph.Pause())) << "a live source cannot cue: VFW_S_CANT_CUE";
    ASSERT_EQ(S_OK, g.graph.Stop());

    // Complete when Stop returns, with the graph and its filters still alive.
    const SystemStreamSummary s = ScanSystemStream(ReadWholeFile(path));
    EXPECT_EQ("", s.problem);
    EXPECT_TRUE(s.endCodeLast);
    EXPECT_GT(s.videoPackets, 0);
    if (r.sound) {
        EXPECT_GT(s.audioPackets, 0);
    } else {
        EXPECT_EQ(0, s.audioPackets);
    }
}

TEST(MpegCapture, SmallPictureWithSound) {
    Record({L"mpeg-320-av.mpg", MEDIASUBTYPE_YUY2, 320, 240, true, 1});
}

TEST(MpegCapture, SmallPictureWithoutSound) {
    Record({L"mpeg-320-video.mpg", video_media::kMediaSubtypeI420, 320, 240, false, 2});
}

TEST(MpegCapture, LargePictureWithSound) {
    Record({L"mpeg-640-av.mpg", MEDIASUBTYPE_RGB24, 640, 480, true, 1});
}

TEST(MpegCapture, LargePictureWithoutSound) {
    Record({L"mpeg-640-video.mpg", MEDIASUBTYPE_YUY2, 640, 480, false, 0});
}

}  // namespace
}  // namespace mpeg_filters_test
