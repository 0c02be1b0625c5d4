// The virtual webcam device "Talvoro Pelloquin" as any capture program sees
// it: listed by the system device enumerator, configured through its pin,
// streaming into Wine's own Sample Grabber; fed by a video send filter in a
// graph of this process, with the test camera as the sender's source.
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/video_media_type.h"
#include "filters/video_send/video_send_api.h"
#include "filters/virtual_camera/tests/virtual_camera_registration.h"
#include "filters/virtual_camera/virtual_camera_ids.h"
#include "media/frame_channel/shared_channel.h"
#include "media/frame_channel/tests/channel_watch.h"
#include "media/virtual_picture/placeholder_picture.h"
#include "pixel_formats/pixel_format.h"
#include "testing/graph_support/test_graph.h"
#include "test_devices/tests/capture_graph.h"
#include "test_devices/tests/device_listing.h"
#include "test_signals/test_pattern.h"
#include "testing/window_harness/waiting.h"

namespace {

using pixel_formats::PixelFormat;
using test_devices::CaptureGraph;
using test_devices::ReceivedSample;

constexpr const GUID& kSubtypeI420 = video_media::kMediaSubtypeI420;

// The test camera streaming into a video send filter: the sending side.
class SenderGraph {
public:
    HRESULT Start() {
        RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                          graph_.PutVoid()));
        ComPtr<IBaseFilter> camera, send;
        RETURN_IF_FAILED(test_devices::CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &camera));
        RETURN_IF_FAILED(graph_test::CreateFilter(CLSID_VideoSendFilter, &send));
        RETURN_IF_FAILED(graph_->AddFilter(camera.Get(), L"Camera"));
        RETURN_IF_FAILED(graph_->AddFilter(send.Get(), L"Video Send Filter"));
        RETURN_IF_FAILED(graph_test::Connect(graph_.Get(), camera.Get(), send.Get()));
        RETURN_IF_FAILED(graph_.As(&control_));
        return control_->Run();
    }
    void Stop() {
        if (control_) control_->Stop();
        control_.Reset();
        graph_.Reset();
    }
    ~SenderGraph() { Stop(); }

private:
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
};

class VirtualCameraTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        registration_ = std::make_unique<virtual_camera_test::ScopedVirtualCamera>();
        ASSERT_EQ(registration_->Result(), S_OK) << "registering TalvoroPelloquin.ax";
    }
    void TearDown() override {
        registration_.reset();
        CoUninitialize();
    }

    // The device as a capture program finds it: by its friendly name.
    static ComPtr<IBaseFilter> OpenDevice() {
        ComPtr<IBaseFilter> device;
        EXPECT_EQ(graph_test::BindDevice(CLSID_VideoInputDeviceCategory, kVirtualCameraName, &device), S_OK);
        return device;
    }
    static ComPtr<IAMStreamConfig> Config(IBaseFilter* device) {
        ComPtr<IAMStreamConfig> config;
        EXPECT_EQ(test_devices::CapturePin(device, &config), S_OK);
        return config;
    }
    // Waits until no sender of an earlier test is live any more.
    static void WaitForSilence() {
        frame_channel::SharedChannelReader reader;
        ASSERT_TRUE(harness::WaitUntil(
            [&] {
                frame_channel::WriterStatus status;
                if (!reader.IsOpen() && FAILED(reader.Open())) return true;
                return !reader.ReadStatus(&status) ||
                       frame_channel::ChannelClockMs() - status.heartbeat_ms > 1100;
            },
            5000));
    }
    // The test pattern numbers of the samples from `from` on (nothing for a
    // sample that shows none).
    static std::vector<std::optional<uint32_t>> Counters(const CaptureGraph& graph, size_t from) {
        const CMediaType type = graph.ConnectedType();
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
        PixelFormat format = type.subtype == MEDIASUBTYPE_RGB24 ? PixelFormat::kRgb24
                             : type.subtype == MEDIASUBTYPE_YUY2 ? PixelFormat::kYuy2
                                                                 : PixelFormat::kI420;
        std::vector<std::optional<uint32_t>> counters;
        const std::vector<ReceivedSample> samples = graph.Samples();
        for (size_t i = from; i < samples.size(); ++i) {
            counters.push_back(test_signals::DecodeFrameCounter(samples[i].data.data(), samples[i].data.size(), format,
                                                                info->bmiHeader.biWidth, info->bmiHeader.biHeight));
        }
        return counters;
    }
    // Waits until at least `n` samples arrived after the first `from`.
    static bool WaitForSamples(const CaptureGraph& graph, size_t n, DWORD timeout_ms = 5000) {
        return harness::WaitUntil([&] { return graph.SampleCount() >= n; }, timeout_ms);
    }

private:
    std::unique_ptr<virtual_camera_test::ScopedVirtualCamera> registration_;
};

TEST_F(VirtualCameraTest, ListedAsACaptureDeviceWithItsModes) {
    const std::vector<std::wstring> names = graph_test::DeviceNames(CLSID_VideoInputDeviceCategory);
    ASSERT_EQ(std::count(names.begin(), names.end(), std::wstring(kVirtualCameraName)), 1);
    ComPtr<IBaseFilter> device = OpenDevice();
    ASSERT_TRUE(device);
    CLSID clsid{};
    ComPtr<IPersist> persist;
    ASSERT_EQ(device.As(&persist), S_OK);
    persist->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_VirtualCamera);

    ComPtr<IKsPropertySet> properties;
    ASSERT_EQ(test_devices::CapturePin(device.Get(), &properties), S_OK);
    GUID category{};
    DWORD returned = 0;
    ASSERT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof category,
                              &returned), S_OK);
    EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);

    ComPtr<IAMStreamConfig> config = Config(device.Get());
    int count = 0, size = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(size, 128);
    std::set<std::tuple<unsigned long, int, int>> offered;  // subtype's first field, size
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* type = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(config->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
        EXPECT_EQ(type->formattype, FORMAT_VideoInfo);
        EXPECT_EQ(caps.MaxOutputSize.cx, info->bmiHeader.biWidth);
        offered.insert({type->subtype.Data1, int(info->bmiHeader.biWidth), int(info->bmiHeader.biHeight)});
        DeleteMediaType(type);
    }
    for (const GUID& subtype : {MEDIASUBTYPE_RGB24, MEDIASUBTYPE_YUY2, kSubtypeI420}) {
        for (auto [w, h] : {std::pair{160, 120}, {320, 240}, {640, 480}, {1280, 720}}) {
            EXPECT_EQ(offered.count({subtype.Data1, w, h}), 1u) << w << "x" << h;
        }
    }

    // After SetFormat the pin offers the set format alone.
    AM_MEDIA_TYPE* chosen = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    int i420_320 = -1;
    for (int i = 0; i < count && i420_320 < 0; ++i) {
        ASSERT_EQ(config->GetStreamCaps(i, &chosen, reinterpret_cast<BYTE*>(&caps)), S_OK);
        if (chosen->subtype == kSubtypeI420 && caps.MaxOutputSize.cx == 320) i420_320 = i;
        else DeleteMediaType(chosen);
    }
    ASSERT_GE(i420_320, 0);
    ASSERT_EQ(config->SetFormat(chosen), S_OK);
    DeleteMediaType(chosen);
    ComPtr<IPin> pin;
    ASSERT_EQ(test_devices::CapturePin(device.Get(), &pin), S_OK);
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pin->EnumMediaTypes(types.Put()), S_OK);
    std::vector<AM_MEDIA_TYPE*> listed(4, nullptr);
    ULONG fetched = 0;
    types->Next(4, listed.data(), &fetched);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0]->subtype, kSubtypeI420);
    DeleteMediaType(listed[0]);
}

TEST_F(VirtualCameraTest, WithoutASenderThePlaceholderAtTheNegotiatedRate) {
    WaitForSilence();
    ComPtr<IBaseFilter> device = OpenDevice();
    ASSERT_TRUE(device);
    CaptureGraph graph;
    ASSERT_EQ(graph.Build(device.Get()), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(WaitForSamples(graph, 10));
    graph.Stop();
    const std::vector<ReceivedSample> samples = graph.Samples();
    // Exactly the card our own code draws for the negotiated mode (RGB24 640x480).
    std::vector<uint8_t> card(pixel_formats::FrameSize(PixelFormat::kRgb24, 640, 480));
    ASSERT_TRUE(virtual_picture::RenderPlaceholder({PixelFormat::kRgb24, 640, 480}, card.data(), card.size()));
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(samples[i].data.size(), card.size());
        EXPECT_TRUE(samples[i].data == card) << "sample " << i;
        EXPECT_TRUE(samples[i].syncPoint);
        if (i > 0) EXPECT_GT(samples[i].start, samples[i - 1].start);
        EXPECT_GT(samples[i].stop, samples[i].start);
    }
    const double span = samples.back().arrival - samples.front().arrival;
    std::printf("[ figures  ] placeholder: %zu frames in %.2f s (negotiated 30 per second)\n", samples.size() - 1,
                span);
}

TEST_F(VirtualCameraTest, TheSendersPictureInEveryModePromptly) {
    channel_test::SentFrameLog sent;
    SenderGraph sender;
    ASSERT_EQ(sender.Start(), S_OK);
    struct Mode {
        GUID subtype;
        int width, height;
        const char* name;
    } modes[] = {{MEDIASUBTYPE_RGB24, 640, 480, "RGB24 640x480"},
                 {kSubtypeI420, 320, 240, "I420 320x240"},
                 {MEDIASUBTYPE_YUY2, 1280, 720, "YUY2 1280x720"},
                 {MEDIASUBTYPE_RGB24, 160, 120, "RGB24 160x120"}};
    for (const Mode& mode : modes) {
        ComPtr<IBaseFilter> device = OpenDevice();
        ComPtr<IAMStreamConfig> config = Config(device.Get());
        int count = 0, size = 0;
        config->GetNumberOfCapabilities(&count, &size);
        for (int i = 0; i < count; ++i) {
            AM_MEDIA_TYPE* type = nullptr;
            VIDEO_STREAM_CONFIG_CAPS caps{};
            config->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps));
            if (type->subtype == mode.subtype && caps.MaxOutputSize.cx == mode.width) {
                EXPECT_EQ(config->SetFormat(type), S_OK);
            }
            DeleteMediaType(type);
        }
        CaptureGraph graph;
        ASSERT_EQ(graph.Build(device.Get()), S_OK);
        ASSERT_TRUE(SUCCEEDED(graph.Run()));
        ASSERT_TRUE(WaitForSamples(graph, 40)) << mode.name;
        graph.Stop();
        const std::vector<std::optional<uint32_t>> counters = Counters(graph, 10);
        std::vector<uint32_t> shown;
        for (const auto& c : counters) {
            if (c) shown.push_back(*c);
        }
        ASSERT_GE(shown.size(), counters.size() * 9 / 10) << mode.name << ": frames without the sender's picture";
        EXPECT_GT(shown.back(), shown.front()) << mode.name;
        for (size_t i = 1; i < shown.size(); ++i) EXPECT_GE(shown[i], shown[i - 1]) << mode.name;

        std::vector<std::pair<std::optional<uint32_t>, double>> delivered;
        const std::vector<ReceivedSample> samples = graph.Samples();
        for (size_t i = 10; i < samples.size(); ++i) delivered.push_back({counters[i - 10], samples[i].arrival * 1e6});
        sent.PrintLatency(mode.name, delivered);
    }
}

TEST_F(VirtualCameraTest, PlaceholderWhenTheSenderStopsAndThePictureWhenItComesBack) {
    ComPtr<IBaseFilter> device = OpenDevice();
    CaptureGraph graph;
    ASSERT_EQ(graph.Build(device.Get()), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    auto latestShows = [&](bool picture) {
        const size_t n = graph.SampleCount();
        if (n == 0) return false;
        const std::vector<std::optional<uint32_t>> c = Counters(graph, n - 1);
        return !c.empty() && c.back().has_value() == picture;
    };
    for (int round = 0; round < 2; ++round) {
        auto sender = std::make_unique<SenderGraph>();
        ASSERT_EQ(sender->Start(), S_OK);
        ASSERT_TRUE(harness::WaitUntil([&] { return latestShows(true); }, 5000)) << "round " << round;
        graph.ClearSamples();
        sender.reset();
        const double stopped = test_devices::Now();
        ASSERT_TRUE(harness::WaitUntil([&] { return latestShows(false); }, 3000)) << "round " << round;
        std::printf("[ figures  ] placeholder %.2f s after the sender stopped\n", test_devices::Now() - stopped);
        graph.ClearSamples();
    }
}

}  // namespace
