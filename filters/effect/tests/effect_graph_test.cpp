// The registered effect filter in the system's own graph manager: test
// camera -> Effect Filter -> Sample Grabber -> Null Renderer. Every delivered
// picture is compared byte for byte with what the portable core makes of the
// same camera frame (the frame number is the sample's start time over the
// frame interval; the camera draws frame n the same way every time).
#include <gtest/gtest.h>

#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dshow_base/com_ptr.h"
#include "dshow_base/media_type.h"
#include "filters/effect/decoration.h"
#include "filters/effect/effect_filter_api.h"
#include "filters/effect/frame_request.h"
#include "filters/effect/video_input.h"
#include "media/frame_files/frame_overlay.h"
#include "dshow_base/video_media_type.h"
#include "testing/graph_support/test_files.h"
#include "test_devices/test_device_client.h"
#include "test_devices/tests/capture_graph.h"
#include "test_devices/tests/device_listing.h"
#include "test_signals/test_pattern.h"

namespace effect_filter {
namespace {

using pixel_formats::PixelFormat;
using test_devices::ReceivedSample;

const wchar_t kCameraName[] = L"Talvoro Test Camera";

struct Mode {
    PixelFormat format;
    int width, height;
};

// Folder of the sample frame files (a Windows path), from the test's environment.
std::wstring SampleFile(const char* name) {
    const char* folder = std::getenv("EFFECT_FRAME_SAMPLES");
    std::string path = std::string(folder ? folder : "") + "\\" + name;
    return std::wstring(path.begin(), path.end());
}

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    graph_test::ReadWholeFile(std::string(path.begin(), path.end()), &bytes);
    return bytes;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// A file in `folder` holding `bytes`.
std::wstring WriteFile(const graph_test::TempFolder& folder, const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder.File(name);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return Wide(path);
}

class EffectGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        com_ = true;
        ASSERT_EQ(S_OK, devices_.Result()) << "TestDevices.ax not registered";
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_EffectFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         filter_.PutVoid()))
            << "EffectFilter.ax not registered";
        ASSERT_EQ(S_OK, filter_->QueryInterface(IID_IEffectControl, control_.PutVoid()));
    }

    void TearDown() override {
        graph_.reset();
        control_.Reset();
        filter_.Reset();
        camera_.Reset();
        if (com_) CoUninitialize();
    }

    // A fresh camera set to `mode`, streaming through the filter.
    void Start(const Mode& mode) {
        graph_.reset();
        camera_.Reset();
        for (const auto& device : test_devices::ListTestDevices(CLSID_VideoInputDeviceCategory)) {
            if (device.friendlyName == kCameraName) {
                ASSERT_EQ(S_OK, test_devices::BindDevice(device, &camera_));
            }
        }
        ASSERT_TRUE(camera_) << "no test camera";
        ASSERT_NO_FATAL_FAILURE(SetFormat(mode));
        mode_ = mode;
        graph_ = std::make_unique<test_devices::CaptureGraph>();
        ASSERT_EQ(S_OK, graph_->Build(camera_.Get(), filter_.Get()));
        video_media::VideoFrameType out;
        ASSERT_EQ(S_OK, video_media::ParseVideoType(graph_->ConnectedType(), true, &out));
        ASSERT_EQ(out.frame.format, PixelFormat::kRgb24);
        ASSERT_EQ(out.layout.width, mode.width);
        ASSERT_EQ(out.layout.height, mode.height);
        ASSERT_GT(out.avgTimePerFrame, 0);
        out_ = out;
        ASSERT_TRUE(SUCCEEDED(graph_->Run()));
        ASSERT_GT(graph_->WaitForFirstSample(5000), 0.0) << "no frame came through";
    }

    void SetFormat(const Mode& mode) {
        ComPtr<IAMStreamConfig> config;
        ASSERT_EQ(S_OK, test_devices::CapturePin(camera_.Get(), &config));
        int count = 0, size = 0;
        ASSERT_EQ(S_OK, config->GetNumberOfCapabilities(&count, &size));
        std::vector<BYTE> caps(static_cast<size_t>(size));
        for (int i = 0; i < count; ++i) {
            AM_MEDIA_TYPE* type = nullptr;
            ASSERT_EQ(S_OK, config->GetStreamCaps(i, &type, caps.data()));
            video_media::VideoFrameType parsed;
            const bool match = SUCCEEDED(video_media::ParseVideoType(*type, false, &parsed)) &&
                               parsed.frame.format == mode.format && parsed.layout.width == mode.width &&
                               parsed.layout.height == mode.height;
            const HRESULT hr = match ? config->SetFormat(type) : S_OK;
            DeleteMediaType(type);
            if (match) {
                ASSERT_EQ(S_OK, hr);
                return;
            }
        }
        FAIL() << "the camera lists no such mode";
    }

    // The samples delivered after this call, at least `count` of them.
    std::vector<ReceivedSample> Next(size_t count) {
        graph_->ClearSamples();
        for (int waited = 0; waited < 10000 && graph_->SampleCount() < count; waited += 5) Sleep(5);
        auto samples = graph_->Samples();
        EXPECT_GE(samples.size(), count) << "the stream stalled";
        return samples;
    }

    bool WaitForMoreSamples() {
        const size_t seen = graph_->SampleCount();
        for (int waited = 0; waited < 5000; waited += 2) {
            if (graph_->SampleCount() > seen) return true;
            Sleep(2);
        }
        return false;
    }

    // The camera's frame for a sample, as 24-bit RGB the way the filter reads it.
    effects::ConstFrameView CameraFrame(const ReceivedSample& sample) {
        const uint32_t number = static_cast<uint32_t>(sample.start / out_.avgTimePerFrame);
        camera_bytes_.resize(pixel_formats::FrameSize(mode_.format, mode_.width, mode_.height));
        EXPECT_TRUE(test_signals::RenderTestPattern(number, mode_.format, mode_.width, mode_.height,
                                                    camera_bytes_.data(), camera_bytes_.size()));
        effects::ConstFrameView view;
        EXPECT_TRUE(input_.View(camera_bytes_.data(), camera_bytes_.size(),
                                {mode_.format, mode_.width, mode_.height}, &view));
        return view;
    }

    // What `decoration` makes of the sample's camera frame, as the filter's output buffer.
    std::vector<uint8_t> Expected(Decoration& decoration, const ReceivedSample& sample) {
        std::vector<uint8_t> out(out_.layout.size);
        const effects::FrameView view =
            effects::Rgb24View(out.data(), out_.frame.width, out_.frame.height, out_.layout.planes[0].stride);
        decoration.Render(CameraFrame(sample), view, sample.start);
        return out;
    }

    bool com_ = false;
    test_devices::ScopedTestDevices devices_{nullptr};
    ComPtr<IBaseFilter> filter_, camera_;
    ComPtr<IEffectControl> control_;
    std::unique_ptr<test_devices::CaptureGraph> graph_;
    Mode mode_{};
    video_media::VideoFrameType out_{};
    std::vector<uint8_t> camera_bytes_;
    VideoInput input_;
};

// Switched while running: from the second frame after the call every
// picture is the core's; code 0 gives the camera's frame unchanged.
TEST_F(EffectGraph, EveryCodeGivesTheCorePictureWithinTwoFrames) {
    ASSERT_NO_FATAL_FAILURE(Start({PixelFormat::kYuy2, 320, 240}));
    for (int code = 0; code <= kEffectCodeCount; ++code) {
        ASSERT_EQ(S_OK, control_->SetEffectType(code));
        int shown = -2;
        ASSERT_EQ(S_OK, control_->GetEffectType(&shown));
        EXPECT_EQ(shown, code);
        const auto samples = Next(4);
        for (size_t i = 1; i < samples.size(); ++i) {
            auto expected = MakeEffectDecoration(code);  // moving effects depend on the sample time only
            ASSERT_TRUE(samples[i].data == Expected(*expected, samples[i]))
                << effects::EffectName(code) << ", sample " << i << " after the call";
        }
    }
}

// A frame file over the camera: every picture from the first that shows it
// is the core's, the camera shows through its clear parts, and animations
// step through their pictures at the file's own delays (sample times).
TEST_F(EffectGraph, FrameFilesShowOverTheCameraAtTheirOwnPace) {
    ASSERT_NO_FATAL_FAILURE(Start({PixelFormat::kRgb24, 320, 240}));
    struct Case {
        const char* name;
        HRESULT (STDMETHODCALLTYPE IEffectControl::*call)(const wchar_t*, int, int);
        size_t pictures;  // distinct overlay pictures to be seen in 45 frames
    };
    const Case cases[] = {{"hearts.bmp", &IEffectControl::SetStaticFrame, 1},
                          {"postcard.bmp", &IEffectControl::SetStaticFrame, 1},
                          {"twinkle.gif", &IEffectControl::SetGifFrame, 2},
                          {"balloons.swf", &IEffectControl::SetFlashFrame, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = SampleFile(c.name);
        std::shared_ptr<const frame_files::FrameAnimation> animation;
        ASSERT_EQ(frame_files::DecodeError::None, DecodeForDecoration(ReadAll(path), &animation));
        ASSERT_EQ(S_OK, (control_.Get()->*c.call)(path.c_str(), 0, 0));
        int shown = 0;
        ASSERT_EQ(S_OK, control_->GetEffectType(&shown));
        EXPECT_EQ(shown, -1);
        const auto samples = Next(45);
        ASSERT_GE(samples.size(), 45u);
        // The first or second sample after the call is the file's first picture at its start.
        size_t first = 0;
        std::unique_ptr<Decoration> expected;
        for (; first < 2; ++first) {
            expected = MakeFrameDecoration(animation, FramePlay{});
            if (samples[first].data == Expected(*expected, samples[first])) break;
        }
        ASSERT_LT(first, 2u) << "the frame file did not show within two frames";
        size_t camera_bytes = 0, frame_bytes = 0;
        std::vector<size_t> pictures;  // animation pictures shown, by the file's delays
        for (size_t i = first + 1; i < samples.size(); ++i) {
            ASSERT_EQ(samples[i].start, samples[i - 1].start + out_.avgTimePerFrame) << "a frame went missing";
            ASSERT_TRUE(samples[i].data == Expected(*expected, samples[i])) << "sample " << i;
            const effects::ConstFrameView camera = CameraFrame(samples[i]);
            const effects::ConstFrameView shown_view = effects::Rgb24View<const uint8_t>(
                samples[i].data.data(), out_.frame.width, out_.frame.height, out_.layout.planes[0].stride);
            for (int y = 0; y < camera.height; ++y)
                for (int x = 0; x < camera.width; ++x)
                    (std::memcmp(camera.At(x, y), shown_view.At(x, y), 3) == 0 ? camera_bytes : frame_bytes) += 1;
            const size_t picture = frame_files::FrameIndexAt(*animation, samples[i].start - samples[first].start);
            if (std::find(pictures.begin(), pictures.end(), picture) == pictures.end()) pictures.push_back(picture);
        }
        EXPECT_GT(camera_bytes, frame_bytes / 20) << "no camera through the frame";
        EXPECT_GT(frame_bytes, camera_bytes / 20) << "no frame over the camera";
        EXPECT_GE(pictures.size(), c.pictures) << "the animation did not move";
    }
}

// Calls in quick succession while frames stream, each file read on this
// thread: every delivered picture is wholly one of the decorations.
TEST_F(EffectGraph, DecorationsSwappedWhileRunningNeverMixInAFrame) {
    ASSERT_NO_FATAL_FAILURE(Start({PixelFormat::kRgb24, 320, 240}));
    const std::wstring hearts = SampleFile("hearts.bmp");
    std::shared_ptr<const frame_files::FrameAnimation> still;
    ASSERT_EQ(frame_files::DecodeError::None, DecodeForDecoration(ReadAll(hearts), &still));
    graph_->ClearSamples();
    for (int i = 0; i < 60; ++i) {
        const HRESULT hr = i % 3 == 0   ? control_->SetEffectType(effects::kInvert)
                           : i % 3 == 1 ? control_->SetStaticFrame(hearts.c_str(), 0, 0)
                                        : control_->SetEffectType(effects::kGray);
        ASSERT_EQ(S_OK, hr);
        if (i % 10 == 9) {
            ASSERT_TRUE(WaitForMoreSamples()) << "the stream stalled";  // frames between bursts
        }
    }
    const auto during = graph_->Samples();
    ASSERT_FALSE(during.empty()) << "no frame while the calls ran";
    for (const auto& s : during) {
        auto invert = MakeEffectDecoration(effects::kInvert), gray = MakeEffectDecoration(effects::kGray);
        auto frame = MakeFrameDecoration(still, FramePlay{});
        const bool whole = s.data == Expected(*invert, s) || s.data == Expected(*gray, s) || s.data == Expected(*frame, s);
        ASSERT_TRUE(whole) << "frame at " << s.start << " mixes decorations";
    }
}

TEST_F(EffectGraph, RefusedCallsKeepTheDecorationAndTheStream) {
    ASSERT_NO_FATAL_FAILURE(Start({PixelFormat::kI420, 320, 240}));
    ASSERT_EQ(S_OK, control_->SetEffectType(effects::kInvert));
    std::vector<wchar_t> unterminated(300, L'a');
    const std::wstring missing = SampleFile("no-such-frame.bmp");
    EXPECT_EQ(E_INVALIDARG, control_->SetEffectType(22));
    EXPECT_EQ(E_INVALIDARG, control_->SetEffectType(-1));
    EXPECT_FALSE(SUCCEEDED(control_->SetStaticFrame(missing.c_str(), 0, 0)));
    EXPECT_FALSE(SUCCEEDED(control_->SetGifFrame(unterminated.data(), 0, 0)));
    EXPECT_FALSE(SUCCEEDED(control_->SetFlashFrame(nullptr, 0, 0)));
    EXPECT_FALSE(SUCCEEDED(control_->SetStaticFrame(SampleFile("hearts.bmp").c_str(), -1, 0)));
    // Empty, cut short and foreign files.
    graph_test::TempFolder folder;
    const auto gif = ReadAll(SampleFile("twinkle.gif")), swf = ReadAll(SampleFile("balloons.swf"));
    ASSERT_GT(gif.size(), 1000u);
    ASSERT_GT(swf.size(), 1000u);
    EXPECT_FALSE(SUCCEEDED(control_->SetStaticFrame(WriteFile(folder, "empty.bmp", {}).c_str(), 0, 0)));
    EXPECT_FALSE(SUCCEEDED(
        control_->SetGifFrame(WriteFile(folder, "cut.gif", {gif.begin(), gif.begin() + 400}).c_str(), 0, 0)));
    EXPECT_FALSE(SUCCEEDED(
        control_->SetFlashFrame(WriteFile(folder, "cut.swf", {swf.begin(), swf.begin() + swf.size() / 2}).c_str(), 0, 0)));
    EXPECT_FALSE(SUCCEEDED(control_->SetStaticFrame(WriteFile(folder, "text.bmp", std::vector<uint8_t>(5000, 'x')).c_str(), 0, 0)));
    int shown = 0;
    ASSERT_EQ(S_OK, control_->GetEffectType(&shown));
    EXPECT_EQ(shown, effects::kInvert);
    const auto samples = Next(3);
    for (const auto& s : samples) {
        auto invert = MakeEffectDecoration(effects::kInvert);
        ASSERT_TRUE(s.data == Expected(*invert, s));
    }
}

// The engine's size change: the graph rebuilt around the same filter at 320x240.
TEST_F(EffectGraph, ReconnectedAtANewSizeKeepsItsDecoration) {
    ASSERT_NO_FATAL_FAILURE(Start({PixelFormat::kYuy2, 640, 480}));
    ASSERT_EQ(S_OK, control_->SetEffectType(effects::kRotateZ));
    auto samples = Next(3);
    ASSERT_EQ(samples.back().data.size(), 640u * 480 * 3);
    ASSERT_NO_FATAL_FAILURE(Start({PixelFormat::kRgb24, 320, 240}));
    samples = Next(3);
    for (const auto& s : samples) {
        ASSERT_EQ(s.data.size(), 320u * 240 * 3);
        auto rotate = MakeEffectDecoration(effects::kRotateZ);
        ASSERT_TRUE(s.data == Expected(*rotate, s));
    }
}

// Thumbnails need no graph: the core's picture for each kind of file, the
// clear parts in the given colour; bad requests write nothing.
TEST_F(EffectGraph, FirstFrameFillsTheBufferForEachKindOfFile) {
    for (const char* name : {"hearts.bmp", "polka.bmp", "postcard.bmp", "twinkle.gif", "balloons.swf"}) {
        const std::wstring path = SampleFile(name);
        std::vector<uint8_t> got(112 * 80 * 3, 0x11), expected(112 * 80 * 3, 0x22);
        ASSERT_EQ(S_OK, control_->GetFirstFrame(path.c_str(), 112, 80, got.data(), 255, 255, 255)) << name;
        ASSERT_EQ(frame_files::DecodeError::None, RenderThumbnail(ReadAll(path), 112, 80, expected.data(), 255, 255, 255));
        EXPECT_TRUE(got == expected) << name;
    }
    std::vector<uint8_t> buffer(112 * 80 * 3 + 16, 0x5A);
    const std::wstring hearts = SampleFile("hearts.bmp");
    std::vector<wchar_t> unterminated(300, L'a');
    EXPECT_EQ(E_POINTER, control_->GetFirstFrame(hearts.c_str(), 112, 80, nullptr, 255, 255, 255));
    for (auto [w, h] : {std::pair{0, 80}, {112, 0}, {-112, 80}, {112, -80}, {4097, 80}, {112, 5000}})
        EXPECT_EQ(E_INVALIDARG, control_->GetFirstFrame(hearts.c_str(), w, h, buffer.data(), 255, 255, 255));
    EXPECT_FALSE(SUCCEEDED(control_->GetFirstFrame(SampleFile("missing.gif").c_str(), 112, 80, buffer.data(), 255, 255, 255)));
    EXPECT_FALSE(SUCCEEDED(control_->GetFirstFrame(unterminated.data(), 112, 80, buffer.data(), 255, 255, 255)));
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0x5A; }));
}

}  // namespace
}  // namespace effect_filter
