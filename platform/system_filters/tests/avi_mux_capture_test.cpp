// Recording from the test camera and microphone through CLSID_AviDest (ours
// once the prefix took the class over) into the system File Writer, as the
// capture engine does. The files stay in WEBCAM_TEST_OUT for the ffprobe
// steps that follow (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "avi_test_reader.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_files.h"

namespace graph_test {
namespace {

const wchar_t kCamera[] = L"Talvoro Test Camera";
const wchar_t kMicrophone[] = L"Talvoro Test Microphone";
constexpr DWORD kRecordMs = 3000;

struct Recording {
    avi_test::ParsedAvi avi;
    LONGLONG positionBeforeStop = 0;
};

void Record(const std::wstring& path, bool withSound, const GUID& subtype, Recording* result) {
    DeleteFileW(path.c_str());
    TestGraph graph;
    ASSERT_EQ(S_OK, graph.Create());
    ComPtr<IBaseFilter> camera, microphone, mux, writer;
    ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_VideoInputDeviceCategory, kCamera, &camera));
    ASSERT_EQ(S_OK, SetCameraFormat(camera.Get(), subtype, 320, 240));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_AviDest, &mux));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_FileWriter, &writer));
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_IFileSinkFilter, sink.PutVoid()));
    ASSERT_EQ(S_OK, sink->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph.Add(camera.Get(), L"Video Capture"));
    ASSERT_EQ(S_OK, graph.Add(mux.Get(), L"AVI Mux Filter"));
    ASSERT_EQ(S_OK, graph.Add(writer.Get(), L"File Writer"));
    ASSERT_EQ(S_OK, graph_test::Connect(graph.Builder(), mux.Get(), writer.Get()));
    ASSERT_EQ(S_OK, graph_test::Connect(graph.Builder(), camera.Get(), mux.Get()));
    if (withSound) {
        ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_AudioInputDeviceCategory, kMicrophone, &microphone));
        ASSERT_EQ(S_OK, graph.Add(microphone.Get(), L"Audio Capture Filter"));
        ASSERT_EQ(S_OK, graph_test::Connect(graph.Builder(), microphone.Get(), mux.Get()));
    }
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, mux->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()));

    ASSERT_EQ(S_OK, graph.Run());
    graph_test::PumpFor(kRecordMs);
    EXPECT_EQ(S_OK, seeking->GetCurrentPosition(&result->positionBeforeStop));
    ASSERT_EQ(S_OK, graph.Stop());
    // Complete when Stop returns, with the graph and its writer still alive.
    ASSERT_EQ("", avi_test::Parse(ReadWholeFile(path), &result->avi));
}

void ExpectAboutThreeSecondsOfVideo(const Recording& r, const char* handler) {
    const avi_test::StreamHeader& video = r.avi.streams.at(0);
    EXPECT_EQ("vids", video.type);
    EXPECT_EQ(handler, video.handler);
    EXPECT_EQ(320u, r.avi.main.width);
    EXPECT_EQ(240u, r.avi.main.height);
    EXPECT_NEAR(90.0, r.avi.main.totalFrames, 9.0);
    EXPECT_EQ(r.avi.main.totalFrames, video.length);
    EXPECT_NEAR(30.0, static_cast<double>(video.rate) / video.scale, 0.6);
    EXPECT_EQ(r.avi.chunks.size(), r.avi.index.size());
    EXPECT_NEAR(3.0, r.positionBeforeStop / 1e7, 0.4);
}

TEST(AviMuxCapture, CameraAndMicrophoneMakeOneInterleavedFile) {
    ScopedMta com;
    Recording r;
    ASSERT_NO_FATAL_FAILURE(Record(OutputPath(L"avimux-av.avi"), true, MEDIASUBTYPE_YUY2, &r));
    ASSERT_EQ(2u, r.avi.streams.size());
    ExpectAboutThreeSecondsOfVideo(r, "YUY2");
    const avi_test::StreamHeader& audio = r.avi.streams[1];
    EXPECT_EQ("auds", audio.type);
    EXPECT_NEAR(3.0, static_cast<double>(audio.length) * audio.scale / audio.rate, 0.3);
    // Sound and pictures of the same moment lie close together: both kinds
    // within every stretch of 45 chunks (a second and a half of video).
    for (size_t from = 0; from + 45 <= r.avi.chunks.size(); from += 45) {
        int video = 0, sound = 0;
        for (size_t i = from; i < from + 45; ++i) (r.avi.chunks[i].id == "00dc" ? video : sound)++;
        EXPECT_GT(video, 0) << "from chunk " << from;
        EXPECT_GT(sound, 0) << "from chunk " << from;
    }
}

TEST(AviMuxCapture, CameraAloneMakesAVideoOnlyFile) {
    ScopedMta com;
    Recording r;
    ASSERT_NO_FATAL_FAILURE(Record(OutputPath(L"avimux-video.avi"), false, MEDIASUBTYPE_RGB24, &r));
    ASSERT_EQ(1u, r.avi.streams.size());
    ExpectAboutThreeSecondsOfVideo(r, "DIB ");
    for (const avi_test::Chunk& c : r.avi.chunks) ASSERT_EQ(320u * 240 * 3, c.data.size());
}

}  // namespace
}  // namespace graph_test
