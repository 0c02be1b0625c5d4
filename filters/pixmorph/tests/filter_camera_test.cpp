// The converter filter behind the test camera ("Talvoro Test Camera") in the
// system's graph: for each format and size picked through IAMStreamConfig,
// every frame out of the filter is the core's conversion of the camera frame
// with the same number, rendered again here from the test pattern.
#include <gtest/gtest.h>

#include <string>

#include "filters/pixmorph/tests/filter_test_graph.h"
#include "filters/pixmorph/pipeline_types.h"
#include "test_devices/tests/device_listing.h"
#include "test_devices/test_device_client.h"
#include "test_signals/test_pattern.h"

namespace pixmorph_test {
namespace {

struct CameraCase {
    const char* name;
    const GUID* subtype;
    pixel_formats::PixelFormat format;
    int width, height;
    bool multiple;
    int outWidth, outHeight;  // size mode; in multiple mode the multiples
};

void PrintTo(const CameraCase& c, std::ostream* out) { *out << c.name; }

class PixmorphCamera : public PixmorphGraphTest, public ::testing::WithParamInterface<CameraCase> {
protected:
    void SetUp() override {
        PixmorphGraphTest::SetUp();
        ASSERT_EQ(S_OK, test_devices::ConfigureTestDevices(nullptr));
        ASSERT_EQ(S_OK, test_devices::CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &camera_));
        ASSERT_EQ(S_OK, graph_.Add(camera_.Get(), L"Talvoro Test Camera"));
    }
    void TearDown() override {
        camera_.Reset();
        PixmorphGraphTest::TearDown();
    }

    // Picks the camera's capability of this subtype and size.
    HRESULT SelectFormat(const GUID& subtype, int width, int height) {
        ComPtr<IAMStreamConfig> config;
        RETURN_IF_FAILED(test_devices::CapturePin(camera_.Get(), &config));
        int count = 0, size = 0;
        RETURN_IF_FAILED(config->GetNumberOfCapabilities(&count, &size));
        for (int i = 0; i < count; ++i) {
            AM_MEDIA_TYPE* mt = nullptr;
            VIDEO_STREAM_CONFIG_CAPS caps = {};
            if (config->GetStreamCaps(i, &mt, reinterpret_cast<BYTE*>(&caps)) != S_OK || !mt) continue;
            const BITMAPINFOHEADER* h = BitmapHeaderOf(*mt);
            HRESULT hr = VFW_E_NOT_FOUND;
            if (mt->subtype == subtype && h && h->biWidth == width && h->biHeight == height) hr = config->SetFormat(mt);
            DeleteMediaType(mt);
            if (hr != VFW_E_NOT_FOUND) return hr;
        }
        return VFW_E_NOT_FOUND;
    }

    ComPtr<IBaseFilter> camera_;
};

TEST_P(PixmorphCamera, FramesAreTheConversionOfTheCameraFrames) {
    const CameraCase& c = GetParam();
    ASSERT_EQ(S_OK, SelectFormat(*c.subtype, c.width, c.height));
    control_->SetMultipleMode(c.multiple);
    if (c.multiple) {
        control_->SetMultiple(c.outWidth, c.outHeight);
    } else {
        control_->SetOutputSize(c.outWidth, c.outHeight);
    }
    ComPtr<IPin> capture;
    ASSERT_EQ(S_OK, test_devices::CapturePin(camera_.Get(), &capture));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(capture.Get(), In()));
    ASSERT_EQ(S_OK, ConnectSink());
    const int outWidth = c.multiple ? c.width * c.outWidth : c.outWidth;
    const int outHeight = c.multiple ? c.height * c.outHeight : c.outHeight;
    EXPECT_EQ(outWidth, OutputWidth());
    EXPECT_EQ(outHeight, OutputHeight());

    ASSERT_EQ(S_OK, graph_.Run());
    const bool arrived = sink_->WaitForFrames(4, 5000);
    graph_.Stop();
    ASSERT_TRUE(arrived) << "fewer than 4 frames in 5 s";

    AM_MEDIA_TYPE input = {};
    ASSERT_EQ(S_OK, In()->ConnectionMediaType(&input));
    const int inputHeight = BitmapHeaderOf(input)->biHeight;
    FreeMediaType(input);
    test_signals::TestPatternRenderer pattern;
    for (const ReceivedFrame& frame : sink_->Frames()) {
        ASSERT_GE(frame.mediaStart, 0) << "the camera's media times carry its frame numbers";
        EXPECT_EQ(outWidth, frame.typeWidth);
        std::vector<uint8_t> camera(FrameBytes(*c.subtype, c.width, inputHeight));
        ASSERT_TRUE(pattern.Render(static_cast<uint32_t>(frame.mediaStart), {c.format, c.width, inputHeight},
                                   camera.data(), camera.size()));
        const std::vector<uint8_t> expected =
            c.multiple ? ExpectedOutput(camera, *c.subtype, c.width, inputHeight, outWidth, outHeight, true,
                                        c.outWidth, c.outHeight)
                       : ExpectedOutput(camera, *c.subtype, c.width, inputHeight, outWidth, outHeight);
        ASSERT_EQ(expected.size(), frame.bytes.size());
        EXPECT_TRUE(expected == frame.bytes) << "frame " << frame.mediaStart;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PixmorphCamera,
    ::testing::Values(
        CameraCase{"Yuy2_320x240_to_200x150", &MEDIASUBTYPE_YUY2, pixel_formats::PixelFormat::kYuy2, 320, 240,
                   false, 200, 150},
        CameraCase{"I420_640x480_to_320x240", &video_media::kMediaSubtypeI420, pixel_formats::PixelFormat::kI420, 640,
                   480, false, 320, 240},
        CameraCase{"Rgb24_160x120_to_640x480", &MEDIASUBTYPE_RGB24, pixel_formats::PixelFormat::kRgb24, 160, 120,
                   false, 640, 480},
        CameraCase{"Yuy2_160x120_times_3x2", &MEDIASUBTYPE_YUY2, pixel_formats::PixelFormat::kYuy2, 160, 120,
                   true, 3, 2}),
    [](const ::testing::TestParamInfo<CameraCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pixmorph_test
