// The devices running in the system's filter graph manager: pacing, frame
// counters, timestamps, pause, format changes between runs, and PCM amounts.
#include <dshow.h>
#include <mmreg.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "capture_graph.h"
#include "com_test.h"
#include "device_listing.h"
#include "test_signals/test_pattern.h"

namespace test_devices {
namespace {

using pixel_formats::PixelFormat;

constexpr REFERENCE_TIME kInterval = 333333;

const VIDEOINFOHEADER& Vih(const AM_MEDIA_TYPE& type) {
    return *reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
}

PixelFormat FormatOf(const AM_MEDIA_TYPE& type) {
    if (IsEqualGUID(type.subtype, MEDIASUBTYPE_YUY2)) return PixelFormat::kYuy2;
    if (IsEqualGUID(type.subtype, MEDIASUBTYPE_RGB24)) return PixelFormat::kRgb24;
    return PixelFormat::kI420;
}

std::optional<uint32_t> Counter(const ReceivedSample& s, const AM_MEDIA_TYPE& type) {
    const BITMAPINFOHEADER& bmi = Vih(type).bmiHeader;
    return test_signals::DecodeFrameCounter(s.data.data(), s.data.size(), FormatOf(type), bmi.biWidth,
                                            bmi.biHeight);
}

// Frames numbered from `first` on, each one interval long and stamped from
// the start of the run; every frame a sync point of the connected size.
void ExpectConsecutiveFrames(const std::vector<ReceivedSample>& frames, const AM_MEDIA_TYPE& type,
                             uint32_t first = 0) {
    for (size_t i = 0; i < frames.size(); ++i) {
        const ReceivedSample& f = frames[i];
        const REFERENCE_TIME start = REFERENCE_TIME(first + i) * Vih(type).AvgTimePerFrame;
        EXPECT_EQ(Counter(f, type), std::optional<uint32_t>(first + uint32_t(i))) << "frame " << i;
        EXPECT_EQ(f.start, start) << "frame " << i;
        EXPECT_EQ(f.stop, start + Vih(type).AvgTimePerFrame) << "frame " << i;
        EXPECT_TRUE(f.syncPoint) << "frame " << i;
        EXPECT_EQ(f.data.size(), Vih(type).bmiHeader.biSizeImage) << "frame " << i;
    }
}

// Frame 0 comes at stream time 0 and then one every 1/fps s, spread over
// that time rather than in bursts.
void ExpectPacedFrameCount(const std::vector<ReceivedSample>& frames, double seconds, int fps) {
    ASSERT_GE(frames.size(), 2u);
    EXPECT_NEAR(double(frames.size()), seconds * fps + 1, 2.0) << "over " << seconds << " s";
    const double span = frames.back().arrival - frames.front().arrival;
    EXPECT_NEAR(span, double(frames.size() - 1) / fps, 0.1);
}

class Streaming : public ComTest {
protected:
    void StartCamera(LPCWSTR config = L"default") {
        ASSERT_EQ(ConfigureTestDevices(config), S_OK);
        ASSERT_EQ(CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &device_), S_OK);
        ASSERT_EQ(CapturePin(device_.Get(), &config_), S_OK);
    }
    void TearDown() override {
        graph_.reset();
        config_.Reset();
        device_.Reset();
        ComTest::TearDown();
    }
    void BuildGraph() {
        graph_.emplace();
        ASSERT_EQ(graph_->Build(device_.Get()), S_OK);
    }
    // Runs `ms` of stream time, counted from the first sample: the graph
    // starts stream time a little after Run returns (Wine: 200 ms later).
    // Returns the seconds from the first sample's arrival to Stop.
    double RunFor(DWORD ms) {
        // S_FALSE is fine too: a renderer may not have completed the transition yet.
        EXPECT_TRUE(SUCCEEDED(graph_->Run()));
        const double first = graph_->WaitForFirstSample();
        EXPECT_NE(first, 0) << "no sample within 3 s of Run";
        Sleep(ms);
        EXPECT_EQ(graph_->Stop(), S_OK);
        return Now() - first;
    }
    HRESULT SetSize(long width, long height, const GUID& subtype) {
        AM_MEDIA_TYPE* type = nullptr;
        RETURN_IF_FAILED(config_->GetFormat(&type));
        CMediaType wanted(*type);
        DeleteMediaType(type);
        int n = 0, size = 0;
        RETURN_IF_FAILED(config_->GetNumberOfCapabilities(&n, &size));
        for (int i = 0; i < n; ++i) {
            VIDEO_STREAM_CONFIG_CAPS caps;
            RETURN_IF_FAILED(config_->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)));
            CMediaType candidate(*type);
            DeleteMediaType(type);
            if (IsEqualGUID(candidate.subtype, subtype) && Vih(candidate).bmiHeader.biWidth == width &&
                Vih(candidate).bmiHeader.biHeight == height) {
                return config_->SetFormat(&candidate);
            }
        }
        return E_INVALIDARG;
    }

    ComPtr<IBaseFilter> device_;
    ComPtr<IAMStreamConfig> config_;
    std::optional<CaptureGraph> graph_;
};

TEST_F(Streaming, CameraDeliversAboutThirtyCountedFramesASecond) {
    StartCamera();
    BuildGraph();
    const CMediaType type = graph_->ConnectedType();
    ASSERT_TRUE(IsEqualGUID(type.subtype, MEDIASUBTYPE_RGB24));
    ASSERT_EQ(Vih(type).bmiHeader.biWidth, 640);
    const double seconds = RunFor(1000);
    const std::vector<ReceivedSample> frames = graph_->Samples();
    ExpectPacedFrameCount(frames, seconds, 30);
    ExpectConsecutiveFrames(frames, type);
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(frames[0].discontinuity);

    // A new run starts a new stream: numbers and stamps from 0 again.
    graph_->ClearSamples();
    const double again = RunFor(300);
    ExpectPacedFrameCount(graph_->Samples(), again, 30);
    ExpectConsecutiveFrames(graph_->Samples(), type);
}

TEST_F(Streaming, WithoutAClockTheCameraPacesItself) {
    StartCamera();
    BuildGraph();
    ASSERT_EQ(graph_->RemoveClock(), S_OK);
    const double seconds = RunFor(1000);
    const std::vector<ReceivedSample> frames = graph_->Samples();
    ExpectPacedFrameCount(frames, seconds, 30);
    ExpectConsecutiveFrames(frames, graph_->ConnectedType());
}

TEST_F(Streaming, PausedCameraDeliversNothingAndCannotCue) {
    StartCamera();
    BuildGraph();
    ASSERT_TRUE(SUCCEEDED(graph_->Run()));
    ASSERT_NE(graph_->WaitForFirstSample(), 0);
    Sleep(400);
    ASSERT_TRUE(SUCCEEDED(graph_->Pause()));
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(device_->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    const size_t atPause = graph_->SampleCount();
    Sleep(400);
    // One frame may have been on its way when the pause came.
    EXPECT_LE(graph_->SampleCount(), atPause + 1);
    ASSERT_TRUE(SUCCEEDED(graph_->Run()));
    Sleep(600);
    ASSERT_EQ(graph_->Stop(), S_OK);
    const std::vector<ReceivedSample> frames = graph_->Samples();
    // 0.4 s before the pause and at most 0.6 s after it: 32 frames at most,
    // where a stream time that went on in the pause would give about 44.
    EXPECT_GE(frames.size(), 18u);
    EXPECT_LE(frames.size(), 34u) << "the pause must not be made up for with a burst";
    // The stream's clock stood still in the pause: numbering and stamps go on.
    ExpectConsecutiveFrames(frames, graph_->ConnectedType());
}

TEST_F(Streaming, SetFormatBetweenStopAndRunChangesTheDeliveredSize) {
    StartCamera();
    BuildGraph();
    ASSERT_TRUE(SUCCEEDED(graph_->Run()));
    ASSERT_NE(graph_->WaitForFirstSample(), 0);
    EXPECT_EQ(SetSize(320, 240, MEDIASUBTYPE_YUY2), VFW_E_NOT_STOPPED);
    ASSERT_EQ(graph_->Stop(), S_OK);
    EXPECT_FALSE(graph_->Samples().empty());
    graph_->ClearSamples();

    // Still connected: the camera moves the connection to the new type.
    ASSERT_EQ(SetSize(320, 240, MEDIASUBTYPE_YUY2), S_OK);
    const CMediaType type = graph_->ConnectedType();
    ASSERT_TRUE(IsEqualGUID(type.subtype, MEDIASUBTYPE_YUY2));
    ASSERT_EQ(Vih(type).bmiHeader.biWidth, 320);
    ASSERT_EQ(Vih(type).bmiHeader.biHeight, 240);
    // What the grabber passes downstream is the one set type.
    const std::vector<CMediaType> passed = graph_->GrabberOutputTypes();
    ASSERT_EQ(passed.size(), 1u);
    EXPECT_EQ(Vih(passed[0]).bmiHeader.biWidth, 320);

    const double seconds = RunFor(500);
    const std::vector<ReceivedSample> frames = graph_->Samples();
    ExpectPacedFrameCount(frames, seconds, 30);
    ExpectConsecutiveFrames(frames, type);
}

TEST_F(Streaming, PlanarFormatAtALowerRate) {
    StartCamera();
    AM_MEDIA_TYPE* type = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps;
    ASSERT_EQ(config_->GetStreamCaps(8, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
    CMediaType i420(*type);
    DeleteMediaType(type);
    ASSERT_FALSE(IsEqualGUID(i420.subtype, MEDIASUBTYPE_RGB24));
    ASSERT_FALSE(IsEqualGUID(i420.subtype, MEDIASUBTYPE_YUY2));
    reinterpret_cast<VIDEOINFOHEADER*>(i420.pbFormat)->AvgTimePerFrame = 1000000;
    ASSERT_EQ(config_->SetFormat(&i420), S_OK);
    BuildGraph();
    const CMediaType connected = graph_->ConnectedType();
    EXPECT_EQ(Vih(connected).AvgTimePerFrame, 1000000);
    const double seconds = RunFor(1000);
    const std::vector<ReceivedSample> frames = graph_->Samples();
    ExpectPacedFrameCount(frames, seconds, 10);
    ExpectConsecutiveFrames(frames, connected);
}

TEST_F(Streaming, StopDoesNotWaitForTheNextFrame) {
    StartCamera();
    ASSERT_EQ(SetSize(160, 120, MEDIASUBTYPE_RGB24), S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(config_->GetFormat(&type), S_OK);
    CMediaType slow(*type);
    DeleteMediaType(type);
    reinterpret_cast<VIDEOINFOHEADER*>(slow.pbFormat)->AvgTimePerFrame = 10000000;  // 1 fps
    ASSERT_EQ(config_->SetFormat(&slow), S_OK);
    BuildGraph();
    for (bool pauseFirst : {false, true}) {
        ASSERT_TRUE(SUCCEEDED(graph_->Run()));
        ASSERT_NE(graph_->WaitForFirstSample(), 0);
        if (pauseFirst) {
            ASSERT_TRUE(SUCCEEDED(graph_->Pause()));
        }
        const double before = Now();
        ASSERT_EQ(graph_->Stop(), S_OK);
        EXPECT_LT(Now() - before, 0.5) << (pauseFirst ? "from pause" : "from run");
        graph_->ClearSamples();
    }
}

class MicrophoneStreaming : public Streaming {
protected:
    void StartMicrophone() {
        ASSERT_EQ(CreateTestDevice(CLSID_AudioInputDeviceCategory, 0, &device_), S_OK);
        ASSERT_EQ(CapturePin(device_.Get(), &config_), S_OK);
    }
};

// Buffers of 50 ms that abut, stamped from their sample position.
void ExpectContiguousBuffers(const std::vector<ReceivedSample>& buffers, int blockAlign) {
    REFERENCE_TIME expectedStart = 0;
    for (size_t i = 0; i < buffers.size(); ++i) {
        EXPECT_EQ(buffers[i].data.size(), size_t(2205 * blockAlign)) << "buffer " << i;
        EXPECT_EQ(buffers[i].start, expectedStart) << "buffer " << i;
        EXPECT_NEAR(double(buffers[i].stop - buffers[i].start), 500000.0, 1.0) << "buffer " << i;
        expectedStart = buffers[i].stop;
    }
}

TEST_F(MicrophoneStreaming, StereoToneAmountMatchesTheRunningTime) {
    StartMicrophone();
    BuildGraph();
    const CMediaType type = graph_->ConnectedType();
    const auto& wfx = *reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
    ASSERT_EQ(wfx.nChannels, 2);
    // The first buffer arrives when its 50 ms are over.
    const double seconds = RunFor(1000) + 0.05;
    const std::vector<ReceivedSample> buffers = graph_->Samples();
    size_t bytes = 0;
    for (const ReceivedSample& b : buffers) bytes += b.data.size();
    const double frames = double(bytes / wfx.nBlockAlign);
    EXPECT_NEAR(frames, seconds * 44100, seconds * 44100 * 0.10);
    ExpectContiguousBuffers(buffers, wfx.nBlockAlign);

    // A 440 Hz sine: about 44 sign changes per 50 ms on the left channel, and
    // a peak well above silence.
    ASSERT_FALSE(buffers.empty());
    const auto* pcm = reinterpret_cast<const int16_t*>(buffers[0].data.data());
    int crossings = 0, peak = 0;
    for (int i = 1; i < 2205; ++i) {
        crossings += (pcm[2 * i] >= 0) != (pcm[2 * i - 2] >= 0);
        peak = std::max(peak, std::abs(int(pcm[2 * i])));
    }
    EXPECT_NEAR(crossings, 44, 2);
    EXPECT_GT(peak, 8000);
}

TEST_F(MicrophoneStreaming, MonoWhenSetBeforeConnecting) {
    StartMicrophone();
    AM_MEDIA_TYPE* type = nullptr;
    AUDIO_STREAM_CONFIG_CAPS caps;
    ASSERT_EQ(config_->GetStreamCaps(1, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
    ASSERT_EQ(config_->SetFormat(type), S_OK);
    DeleteMediaType(type);
    BuildGraph();
    const CMediaType connected = graph_->ConnectedType();
    ASSERT_EQ(reinterpret_cast<const WAVEFORMATEX*>(connected.pbFormat)->nChannels, 1);
    const double seconds = RunFor(600) + 0.05;
    const std::vector<ReceivedSample> buffers = graph_->Samples();
    EXPECT_NEAR(double(buffers.size()) * 2205, seconds * 44100, seconds * 44100 * 0.10);
    ExpectContiguousBuffers(buffers, 2);
}

}  // namespace
}  // namespace test_devices
