// The snapshot filter in a live graph: test camera -> snapshot filter ->
// Null Renderer, with the camera set to RGB24, YUY2 or I420. Snapshots carry
// the camera's size and frame counter; the JPEGs and a BMP of the same frame
// are left in $SNAPSHOT_TEST_OUT for the ffmpeg steps that follow.
#include <gtest/gtest.h>

#include <dshow.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dshow_base/media_type.h"
#include "dshow_base/video_media_type.h"
#include "filters/snapshot/snapshot_api.h"
#include "filters/snapshot/tests/snapshot_request.h"
#include "testing/graph_support/test_files.h"
#include "test_devices/test_device_client.h"
#include "test_devices/tests/device_listing.h"

namespace snapshot_test {

using graph_test::TempFolder;
using graph_test::EmptyFolder;
using graph_test::ReadWholeFile;
using graph_test::BmpFile;
using graph_test::LoadBmp;
using graph_test::BmpFrameCounter;
using graph_test::JpegDimensions;
using graph_test::PlatformJpegHonoursQuality;
using graph_test::NowMs;
namespace {

constexpr const GUID& kI420 = video_media::kMediaSubtypeI420;
const wchar_t kCameraName[] = L"Talvoro Test Camera";
// The Null Renderer's class (qedit.h, which MinGW's headers lack).
const CLSID kNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

struct Mode {
    const char* name;
    const GUID* subtype;
    int width, height;
};

HRESULT WaitForState(IMediaControl* control) {
    OAFilterState state;
    const HRESULT hr = control->GetState(5000, &state);
    return hr == VFW_S_STATE_INTERMEDIATE ? E_FAIL : hr;
}

std::string OutputFolder() {
    const char* folder = std::getenv("SNAPSHOT_TEST_OUT");
    return folder ? folder : "";
}

// Snapshots of an earlier run must not pass for this run's in the ffmpeg steps.
class ClearOutput : public testing::Environment {
public:
    void SetUp() override {
        if (!OutputFolder().empty()) EmptyFolder(OutputFolder());
    }
};
[[maybe_unused]] testing::Environment* const kClearOutput = testing::AddGlobalTestEnvironment(new ClearOutput);

class CameraSnapshot : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        com_ = true;
        ASSERT_EQ(S_OK, devices_.Result()) << "TestDevices.ax not registered";
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         graph_.PutVoid()));
        ASSERT_EQ(S_OK, graph_.As(&control_));
        ASSERT_NO_FATAL_FAILURE(AddCamera());
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SnapshotFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         snapshotFilter_.PutVoid()))
            << "Snapshot.ax not registered";
        ASSERT_EQ(S_OK, snapshotFilter_->QueryInterface(IID_ISnapshotFilter, snapshot_.PutVoid()));
        ASSERT_EQ(S_OK, CoCreateInstance(kNullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         renderer_.PutVoid()));
        ASSERT_EQ(S_OK, graph_->AddFilter(snapshotFilter_.Get(), L"Snapshot Filter"));
        ASSERT_EQ(S_OK, graph_->AddFilter(renderer_.Get(), L"Null Renderer"));
        ASSERT_FALSE(folder_.Path().empty());
        honoursQuality_ = PlatformJpegHonoursQuality();
        if (!honoursQuality_) std::printf("this platform's WIC JPEG encoder ignores ImageQuality\n");
    }

    void TearDown() override {
        if (control_) {
            control_->Stop();
            WaitForState(control_.Get());
        }
        snapshot_.Reset();
        snapshotFilter_.Reset();
        renderer_.Reset();
        config_.Reset();
        capture_.Reset();
        camera_.Reset();
        control_.Reset();
        graph_.Reset();
        if (com_) CoUninitialize();
    }

    void AddCamera() {
        for (const test_devices::ListedDevice& device : test_devices::ListTestDevices(CLSID_VideoInputDeviceCategory)) {
            if (device.friendlyName == kCameraName) {
                ASSERT_EQ(S_OK, test_devices::BindDevice(device, &camera_));
            }
        }
        ASSERT_TRUE(camera_) << "no device named Talvoro Test Camera";
        ASSERT_EQ(S_OK, graph_->AddFilter(camera_.Get(), L"Camera"));
        ASSERT_EQ(S_OK, test_devices::CapturePin(camera_.Get(), &capture_));
        ASSERT_EQ(S_OK, capture_.As(&config_));
    }

    // The capability with that subtype and size, through IAMStreamConfig.
    void SetFormat(const Mode& mode) {
        int count = 0, size = 0;
        ASSERT_EQ(S_OK, config_->GetNumberOfCapabilities(&count, &size));
        std::vector<BYTE> caps(static_cast<size_t>(size));
        for (int i = 0; i < count; ++i) {
            AM_MEDIA_TYPE* type = nullptr;
            ASSERT_EQ(S_OK, config_->GetStreamCaps(i, &type, caps.data()));
            const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
            const bool match = type->subtype == *mode.subtype && type->formattype == FORMAT_VideoInfo &&
                               vih->bmiHeader.biWidth == mode.width &&
                               std::abs(vih->bmiHeader.biHeight) == mode.height;
            HRESULT hr = S_OK;
            if (match) hr = config_->SetFormat(type);
            DeleteMediaType(type);
            if (match) {
                ASSERT_EQ(S_OK, hr) << mode.name;
                return;
            }
        }
        FAIL() << "the camera lists no " << mode.name;
    }

    void Connect() {
        ComPtr<IPin> in, out, rendererIn;
        ASSERT_EQ(S_OK, snapshotFilter_->FindPin(L"Input", in.Put()));
        ASSERT_EQ(S_OK, snapshotFilter_->FindPin(L"Output", out.Put()));
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(S_OK, renderer_->EnumPins(pins.Put()));
        ASSERT_EQ(S_OK, pins->Next(1, rendererIn.Put(), nullptr));
        ASSERT_EQ(S_OK, graph_->ConnectDirect(capture_.Get(), in.Get(), nullptr));
        ASSERT_EQ(S_OK, graph_->ConnectDirect(out.Get(), rendererIn.Get(), nullptr));
    }

    void Run() {
        ASSERT_TRUE(SUCCEEDED(control_->Run()));
        ASSERT_EQ(S_OK, WaitForState(control_.Get()));
    }
    void Stop() {
        ASSERT_EQ(S_OK, control_->Stop());
        ASSERT_EQ(S_OK, WaitForState(control_.Get()));
    }

    // Takes a snapshot; *ms gets its duration.
    HRESULT Snap(const std::string& path, uint32_t format, int quality = 90, double* ms = nullptr) {
        const SnapshotRequest request = MakeRequest(path, format, quality);
        const double start = NowMs();
        const HRESULT hr = snapshot_->TakeSnapshot(1, &request);
        if (ms) *ms = NowMs() - start;
        return hr;
    }

    // A BMP of the camera's size with a readable frame counter.
    uint32_t CheckBmp(const std::string& path, const Mode& mode) {
        BmpFile bmp;
        EXPECT_TRUE(LoadBmp(path, &bmp)) << path;
        EXPECT_EQ(mode.width, bmp.info.biWidth);
        EXPECT_EQ(mode.height, bmp.info.biHeight);
        EXPECT_EQ(24, bmp.info.biBitCount);
        EXPECT_EQ(bmp.fileBytes, bmp.file.bfSize);
        const auto counter = BmpFrameCounter(bmp);
        EXPECT_TRUE(counter.has_value()) << path << ": no frame counter in the pixels";
        return counter.value_or(0);
    }

    void CheckJpeg(const std::string& path, const Mode& mode, size_t* bytes = nullptr) {
        std::vector<uint8_t> data;
        ASSERT_TRUE(ReadWholeFile(path, &data)) << path;
        int width = 0, height = 0;
        ASSERT_TRUE(JpegDimensions(data, &width, &height)) << path;
        EXPECT_EQ(mode.width, width);
        EXPECT_EQ(mode.height, height);
        if (bytes) *bytes = data.size();
    }

    // Leaves a BMP and a JPEG of one and the same (kept) frame for the
    // ffmpeg check; the graph must be stopped so the frame stays.
    void LeaveForFfmpeg(const Mode& mode) {
        const std::string out = OutputFolder();
        if (out.empty()) return;
        const std::string stem = out + "\\camera-" + mode.name + "-" + std::to_string(mode.width) + "x" +
                                 std::to_string(mode.height);
        ASSERT_EQ(S_OK, Snap(stem + ".bmp", kSnapshotBitmap));
        ASSERT_EQ(S_OK, Snap(stem + ".jpg", kSnapshotJpeg, 90));
    }

    bool com_ = false;
    bool honoursQuality_ = false;
    test_devices::ScopedTestDevices devices_{L"default"};
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBaseFilter> camera_, snapshotFilter_, renderer_;
    ComPtr<IPin> capture_;
    ComPtr<IAMStreamConfig> config_;
    ComPtr<ISnapshotFilter> snapshot_;
    TempFolder folder_;
};

const Mode kModes[] = {
    {"rgb24", &MEDIASUBTYPE_RGB24, 640, 480},
    {"yuy2", &MEDIASUBTYPE_YUY2, 640, 480},
    {"i420", &kI420, 640, 480},
};

TEST_F(CameraSnapshot, EachCameraFormatGivesBmpAndJpegOfItsSizeWithLiveFrames) {
    bool connected = false;
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        // Once connected, the camera moves its connection to the new format itself.
        ASSERT_NO_FATAL_FAILURE(SetFormat(mode));
        if (!connected) {
            ASSERT_NO_FATAL_FAILURE(Connect());
        }
        connected = true;
        ASSERT_NO_FATAL_FAILURE(Run());
        Sleep(1000);

        double bmpMs = 0, jpegMs = 0;
        const std::string bmp = folder_.File(std::string(mode.name) + ".bmp");
        ASSERT_EQ(S_OK, Snap(bmp, kSnapshotBitmap, 0, &bmpMs));
        const uint32_t first = CheckBmp(bmp, mode);
        Sleep(300);
        ASSERT_EQ(S_OK, Snap(bmp, kSnapshotBitmap));
        const uint32_t later = CheckBmp(bmp, mode);
        EXPECT_GT(later, first) << "the kept frame follows the stream";

        const std::string jpeg = folder_.File(std::string(mode.name) + ".jpg");
        ASSERT_EQ(S_OK, Snap(jpeg, kSnapshotJpeg, 90, &jpegMs));
        ASSERT_NO_FATAL_FAILURE(CheckJpeg(jpeg, mode));
        size_t low = 0, high = 0;
        ASSERT_EQ(S_OK, Snap(folder_.File("q10.jpg"), kSnapshotJpeg, 10));
        ASSERT_EQ(S_OK, Snap(folder_.File("q95.jpg"), kSnapshotJpeg, 95));
        ASSERT_NO_FATAL_FAILURE(CheckJpeg(folder_.File("q10.jpg"), mode, &low));
        ASSERT_NO_FATAL_FAILURE(CheckJpeg(folder_.File("q95.jpg"), mode, &high));
        if (honoursQuality_) {
            EXPECT_LT(low, high);
        }
        std::printf("%s %dx%d while running: BMP %.1f ms, JPEG %.1f ms; q10 %u bytes, q95 %u bytes\n", mode.name,
                    mode.width, mode.height, bmpMs, jpegMs, static_cast<unsigned>(low), static_cast<unsigned>(high));

        ASSERT_NO_FATAL_FAILURE(Stop());
        // Stopped: the last frame stays available.
        ASSERT_EQ(S_OK, Snap(bmp, kSnapshotBitmap));
        EXPECT_GE(CheckBmp(bmp, mode), later);
        ASSERT_NO_FATAL_FAILURE(LeaveForFfmpeg(mode));
    }
}

TEST_F(CameraSnapshot, NoFrameBeforeTheFirstRun) {
    ASSERT_NO_FATAL_FAILURE(SetFormat(kModes[0]));
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_TRUE(FAILED(Snap(folder_.File("early.bmp"), kSnapshotBitmap)));
    EXPECT_TRUE(FAILED(Snap(folder_.File("early.jpg"), kSnapshotJpeg)));
    EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(CameraSnapshot, RefusalsWhileRunningLeaveNoFile) {
    ASSERT_NO_FATAL_FAILURE(SetFormat(kModes[1]));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(Run());
    Sleep(300);
    SnapshotRequest request = MakeRequest(folder_.File("short.bmp"), kSnapshotBitmap);
    request.size = 271;
    EXPECT_EQ(E_INVALIDARG, snapshot_->TakeSnapshot(1, &request));
    request = MakeRequest(folder_.File("open.bmp"), kSnapshotBitmap);
    std::memset(request.path, 'b', sizeof request.path);
    EXPECT_EQ(E_INVALIDARG, snapshot_->TakeSnapshot(1, &request));
    EXPECT_EQ(E_INVALIDARG, Snap(folder_.File("odd.png"), 3));
    EXPECT_TRUE(FAILED(Snap(folder_.File("no-such-folder\\x.jpg"), kSnapshotJpeg)));
    EXPECT_TRUE(folder_.Names().empty());
    // And the next good request works.
    EXPECT_EQ(S_OK, Snap(folder_.File("fine.bmp"), kSnapshotBitmap));
}

TEST_F(CameraSnapshot, ANewCaptureSizeReachesTheSnapshots) {
    ASSERT_NO_FATAL_FAILURE(SetFormat(kModes[0]));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(Run());
    Sleep(300);
    ASSERT_NO_FATAL_FAILURE(Stop());
    // The camera reconnects its pin itself; the filter carries the new type on.
    const Mode smaller = {"yuy2", &MEDIASUBTYPE_YUY2, 320, 240};
    ASSERT_NO_FATAL_FAILURE(SetFormat(smaller));
    ASSERT_NO_FATAL_FAILURE(Run());
    Sleep(500);
    ASSERT_EQ(S_OK, Snap(folder_.File("small.bmp"), kSnapshotBitmap));
    CheckBmp(folder_.File("small.bmp"), smaller);
    ASSERT_EQ(S_OK, Snap(folder_.File("small.jpg"), kSnapshotJpeg));
    CheckJpeg(folder_.File("small.jpg"), smaller);
    ASSERT_NO_FATAL_FAILURE(Stop());
    ASSERT_NO_FATAL_FAILURE(LeaveForFfmpeg(smaller));
}

}  // namespace
}  // namespace snapshot_test
