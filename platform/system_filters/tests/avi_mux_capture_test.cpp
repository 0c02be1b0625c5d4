// Recording from the test camera and microphone through CLSID_AviDest (ours
// once the prefix took the class over) into the system File Writer, as the
// capture engine does. The files stay in WEBCAM_TEST_OUT for the ffprobe
// steps that follow (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "avi_test_reader.h"
#include "graph_helpers.h"
#include "tests/graph_helpers.h"

namespace system_filters_test {
namespace {

const wchar_t kCamera[] = L"Talvoro Test Camera";
const wchar_t kMicrophone[] = L"Talvoro Test Microphone";
constexpr DWORD kRecordMs = 3000;

std::wstring OutputPath(const wchar_t* fileName) {
    const char* dir = std::getenv("WEBCAM_TEST_OUT");
    std::wstring path = dir ? std::wstring(dir, dir + std::strlen(dir)) : L".";
    return path + L"\\" + fileName;
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// Picks the camera's mode of this subtype and size through IAMStreamConfig.
HRESULT SetCameraFormat(IBaseFilter* camera, const GUID& subtype, int width, int height) {
    ComPtr<IPin> out = FirstPin(camera, PINDIR_OUTPUT, true);
    ComPtr<IAMStreamConfig> config;
    if (!out) return E_FAIL;
    RETURN_IF_FAILED(out->QueryInterface(IID_IAMStreamConfig, config.PutVoid()));
    int count = 0, size = 0;
    RETURN_IF_FAILED(config->GetNumberOfCapabilities(&count, &size));
    std::vector<BYTE> caps(size);
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* mt = nullptr;
        if (FAILED(config->GetStreamCaps(i, &mt, caps.data()))) continue;
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
        const bool match = mt->subtype == subtype && mt->formattype == FORMAT_VideoInfo &&
                           vih->bmiHeader.biWidth == width && std::abs(vih->bmiHeader.biHeight) == height;
        const HRESULT hr = match ? config->SetFormat(mt) : S_FALSE;
        DeleteMediaType(mt);
        if (match) return hr;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

struct Recording {
    avi_test::ParsedAvi avi;
    LONGLONG positionBeforeStop = 0;
};

void Record(const std::wstring& path, bool withSound, const GUID& subtype, Recording* result) {
    DeleteFileW(path.c_str());
    TestGraph graph;
    ASSERT_EQ(S_OK, graph.Create());
    ComPtr<IBaseFilter> camera, microphone, mux, writer;
    ASSERT_EQ(S_OK, testgraph::BindDevice(CLSID_VideoInputDeviceCategory, kCamera, &camera));
    ASSERT_EQ(S_OK, SetCameraFormat(camera.Get(), subtype, 320, 240));
    ASSERT_EQ(S_OK, testgraph::CreateFilter(CLSID_AviDest, &mux));
    ASSERT_EQ(S_OK, testgraph::CreateFilter(CLSID_FileWriter, &writer));
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_IFileSinkFilter, sink.PutVoid()));
    ASSERT_EQ(S_OK, sink->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph.Add(camera.Get(), L"Video Capture"));
    ASSERT_EQ(S_OK, graph.Add(mux.Get(), L"AVI Mux Filter"));
    ASSERT_EQ(S_OK, graph.Add(writer.Get(), L"File Writer"));
    ASSERT_EQ(S_OK, testgraph::Connect(graph.Builder(), mux.Get(), writer.Get()));
    ASSERT_EQ(S_OK, testgraph::Connect(graph.Builder(), camera.Get(), mux.Get()));
    if (withSound) {
        ASSERT_EQ(S_OK, testgraph::BindDevice(CLSID_AudioInputDeviceCategory, kMicrophone, &microphone));
        ASSERT_EQ(S_OK, graph.Add(microphone.Get(), L"Audio Capture Filter"));
        ASSERT_EQ(S_OK, testgraph::Connect(graph.Builder(), microphone.Get(), mux.Get()));
    }
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, mux->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()));

    ASSERT_EQ(S_OK, graph.Run());
    testgraph::PumpFor(kRecordMs);
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
}  // namespace system_filters_test
