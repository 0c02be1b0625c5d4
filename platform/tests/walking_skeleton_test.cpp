// End-to-end checks of the platform under Wine's own graph manager: the test
// devices are listed and bind, the test camera previews through the stand-in
// colour converter into the system video renderer, and camera plus microphone
// record an AVI file (which scripts/probe-media then checks with ffprobe).
#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>
#include <string>

#include <gtest/gtest.h>

#include "testing/graph_support/test_graph.h"
#include "testing/renderer_picture/renderer_picture.h"

namespace {

const wchar_t kCamera[] = L"Talvoro Test Camera";
const wchar_t kMicrophone[] = L"Talvoro Test Microphone";

class WalkingSkeleton : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    for (const auto& n : names)
        if (n == name) return true;
    return false;
}

TEST_F(WalkingSkeleton, SystemDeviceEnumeratorListsTheTestDevices) {
    EXPECT_TRUE(Contains(graph_test::DeviceNames(CLSID_VideoInputDeviceCategory), kCamera));
    EXPECT_TRUE(Contains(graph_test::DeviceNames(CLSID_AudioInputDeviceCategory), kMicrophone));
}

// The renderer's current picture is a test-pattern frame, and a later one is a later frame.
void ExpectRendererShowsLiveFrames(IGraphBuilder* graph) {
    // About 60 frames in 2 s at 30 frames per second; a loaded machine may
    // start later, so that is waited for rather than timed.
    std::optional<uint32_t> first;
    for (int waited = 0; waited < 10000 && !(first && *first > 10u); waited += 250) {
        first = renderer_picture::ShownFrameNumber(graph);
        if (!(first && *first > 10u)) graph_test::PumpFor(250);
    }
    ASSERT_TRUE(first.has_value());
    EXPECT_GT(*first, 10u);
    graph_test::PumpFor(500);
    const auto second = renderer_picture::ShownFrameNumber(graph);
    ASSERT_TRUE(second.has_value());
    EXPECT_GT(*second, *first);
}

TEST_F(WalkingSkeleton, CameraPreviewsThroughColourConverterIntoVideoRenderer) {
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     graph.PutVoid()));
    ComPtr<IBaseFilter> camera, converter, renderer;
    ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_VideoInputDeviceCategory, kCamera, &camera));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_Colour, &converter));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_VideoRendererDefault, &renderer));
    ASSERT_EQ(S_OK, graph->AddFilter(camera.Get(), L"Video Capture"));
    ASSERT_EQ(S_OK, graph->AddFilter(converter.Get(), L"colorspace Filter"));
    ASSERT_EQ(S_OK, graph->AddFilter(renderer.Get(), L"Video Render"));
    ASSERT_EQ(S_OK, graph_test::Connect(graph.Get(), camera.Get(), converter.Get()));
    ASSERT_EQ(S_OK, graph_test::Connect(graph.Get(), converter.Get(), renderer.Get()));

    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, control.PutVoid()));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    graph_test::PumpFor(2000);
    OAFilterState state = State_Stopped;
    EXPECT_TRUE(SUCCEEDED(control->GetState(1000, &state)));
    EXPECT_EQ(State_Running, state);
    ASSERT_NO_FATAL_FAILURE(ExpectRendererShowsLiveFrames(graph.Get()));
    EXPECT_EQ(S_OK, control->Stop());
}

// Output folder for files that the ctest step checks afterwards (a Windows path).
std::wstring OutputPath(const wchar_t* fileName) {
    const char* dir = std::getenv("WEBCAM_TEST_OUT");
    std::wstring path = dir ? std::wstring(dir, dir + std::strlen(dir)) : L".";
    return path + L"\\" + fileName;
}

// Stops a graph however the test leaves, so no filter is released running.
class StopOnExit {
public:
    explicit StopOnExit(IMediaControl* control) : control_(control) {}
    ~StopOnExit() { control_->Stop(); }

private:
    IMediaControl* control_;  // owned by the test's ComPtr, which outlives this
};

// Records `milliseconds` of the test camera (and microphone) into an AVI file.
void RecordAvi(const std::wstring& path, bool withSound, DWORD milliseconds) {
    DeleteFileW(path.c_str());
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     graph.PutVoid()));
    ComPtr<IBaseFilter> camera, microphone, mux, writer;
    ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_VideoInputDeviceCategory, kCamera, &camera));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_AviDest, &mux));
    ASSERT_EQ(S_OK, graph_test::CreateFilter(CLSID_FileWriter, &writer));
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_IFileSinkFilter, sink.PutVoid()));
    ASSERT_EQ(S_OK, sink->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph->AddFilter(camera.Get(), L"Video Capture"));
    ASSERT_EQ(S_OK, graph->AddFilter(mux.Get(), L"AVI Mux Filter"));
    ASSERT_EQ(S_OK, graph->AddFilter(writer.Get(), L"File Writer"));
    ASSERT_EQ(S_OK, graph_test::Connect(graph.Get(), mux.Get(), writer.Get()));
    ASSERT_EQ(S_OK, graph_test::Connect(graph.Get(), camera.Get(), mux.Get()));
    if (withSound) {
        ASSERT_EQ(S_OK, graph_test::BindDevice(CLSID_AudioInputDeviceCategory, kMicrophone, &microphone));
        ASSERT_EQ(S_OK, graph->AddFilter(microphone.Get(), L"Audio Capture Filter"));
        ASSERT_EQ(S_OK, graph_test::Connect(graph.Get(), microphone.Get(), mux.Get()));
    }

    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, control.PutVoid()));
    StopOnExit stopper(control.Get());
    const HRESULT run = control->Run();
    ASSERT_TRUE(SUCCEEDED(run)) << std::hex << run;
    graph_test::PumpFor(milliseconds);
    ASSERT_EQ(S_OK, control->Stop());
    control.Reset();
    graph.Reset();

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow, 100000u);
}

// Wine's stream time starts about 200 ms after Run; record a little longer so
// the file holds the 3 s the probe step expects.
TEST_F(WalkingSkeleton, CameraRecordsAnAviFile) {
    RecordAvi(OutputPath(L"skeleton-video.avi"), false, 3200);
}

TEST_F(WalkingSkeleton, CameraAndMicrophoneRecordAnAviFile) {
    RecordAvi(OutputPath(L"skeleton.avi"), true, 3200);
}

}  // namespace
