// The virtual webcam from end to end, across processes: VirtualWebcamSender
// runs Lumivox on the test camera (process A); this test (process B) uses
// Korvel through its exports as Snapory does, previews "Talvoro Pelloquin"
// and reads BMP snapshots of what it shows.
#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "capture_engine/korvel.h"
#include "capture_engine/tests/engine_test_support.h"
#include "testing/graph_support/test_files.h"
#include "filters/virtual_camera/tests/virtual_camera_registration.h"
#include "media/frame_channel/tests/channel_watch.h"
#include "media/virtual_picture/placeholder_picture.h"
#include "testing/graph_support/test_graph.h"
#include "test_devices/tests/capture_graph.h"
#include "test_devices/tests/device_listing.h"
#include "test_signals/test_pattern.h"
#include "testing/window_harness/waiting.h"
#include "webcam_engine/tests/webcam_sender.h"

namespace {

using lumivox_test::SenderProcess;
using pixel_formats::PixelFormat;

// What a snapshot of the preview shows.
struct Shown {
    bool taken = false;
    std::optional<uint32_t> counter;  // the test pattern's frame number
    std::optional<uint32_t> inverted;  // the same, read from the picture inverted back
    bool placeholder = false;         // the virtual webcam's own card
};

class VirtualWebcamEndToEnd : public korvel_test::EngineTest {
protected:
    void SetUp() override {
        korvel_test::EngineTest::SetUp();
        ASSERT_EQ(registration_.Result(), S_OK) << "registering TalvoroPelloquin.ax";
        window_ = std::make_unique<korvel_test::TestWindow>(640, 480);
    }
    void TearDown() override {
        window_.reset();
        korvel_test::EngineTest::TearDown();
    }

    // Snapory's order after choosing a device: the virtual webcam, previewed.
    void PreviewVirtualWebcam() {
        unsigned short count = 0;
        wchar_t names[KORVEL_DEVICE_LIST_UNITS] = {};
        ASSERT_EQ(GetCaptureVideoDev(&count, names), 1);
        int index = -1, at = 0;
        for (const wchar_t* name = names; *name && index < 0; ++at) {
            const wchar_t* end = wcschr(name, L'\n');
            ASSERT_NE(end, nullptr);
            if (std::wstring(name, end) == L"Talvoro Pelloquin") index = at;
            name = end + 1;
        }
        ASSERT_GE(index, 0) << "Talvoro Pelloquin is not listed";
        ASSERT_EQ(SetVideoDevice(index), 1);
        ASSERT_EQ(DeleteVideoDevice(), 1);
        ASSERT_EQ(RunPreview(), 1);
        ASSERT_EQ(SetPlayWindow(window_->Handle()), 1);
        ASSERT_EQ(RunGraph(), 1);
    }

    Shown Snapshot() {
        Shown shown;
        const std::string path = folder_.File("shown.bmp");
        const std::wstring wide(path.begin(), path.end());
        graph_test::BmpFile bmp;
        if (!CaptureBitmap(wide.c_str(), 1, 0) || !graph_test::LoadBmp(path, &bmp)) return shown;
        shown.taken = true;
        shown.counter = graph_test::BmpFrameCounter(bmp);
        graph_test::BmpFile back = bmp;
        for (uint8_t& v : back.pixels) v = static_cast<uint8_t>(255 - v);
        shown.inverted = graph_test::BmpFrameCounter(back);
        const int w = bmp.info.biWidth, h = bmp.info.biHeight;
        std::vector<uint8_t> card(pixel_formats::FrameSize(PixelFormat::kRgb24, w, std::abs(h)));
        if (!card.empty() && bmp.pixels.size() >= card.size() &&
            virtual_picture::RenderPlaceholder({PixelFormat::kRgb24, w, h}, card.data(), card.size())) {
            size_t close = 0;
            for (size_t i = 0; i < card.size(); ++i) close += std::abs(int(card[i]) - int(bmp.pixels[i])) <= 3;
            shown.placeholder = close >= card.size() * 98 / 100;
        }
        return shown;
    }
    // Waits (pumping this thread's messages) until a snapshot satisfies `what`.
    bool WaitForShown(const std::function<bool(const Shown&)>& what, DWORD timeout_ms, Shown* last = nullptr) {
        Shown seen;
        const bool ok = harness::WaitUntil([&] { return what(seen = Snapshot()); }, timeout_ms, 100);
        if (last) *last = seen;
        return ok;
    }

    virtual_camera_test::ScopedVirtualCamera registration_;
    graph_test::TempFolder folder_;
    std::unique_ptr<korvel_test::TestWindow> window_;
};

bool ShowsPicture(const Shown& s) { return s.taken && s.counter.has_value(); }
bool ShowsPlaceholder(const Shown& s) { return s.taken && s.placeholder && !s.counter; }

TEST_F(VirtualWebcamEndToEnd, PlaceholderThenTheSendersPictureThenPlaceholderWhenItDiesAndBack) {
    PreviewVirtualWebcam();
    // Started before any sender: the card.
    ASSERT_TRUE(WaitForShown(ShowsPlaceholder, 5000)) << "the preview does not show the placeholder";

    for (int round = 0; round < 2; ++round) {
        SenderProcess sender;
        ASSERT_TRUE(sender.Start());
        Shown first, later;
        ASSERT_TRUE(WaitForShown(ShowsPicture, 15000, &first)) << "round " << round << ": no picture from process A";
        ASSERT_TRUE(WaitForShown([&](const Shown& s) { return ShowsPicture(s) && *s.counter > *first.counter; }, 5000,
                                 &later))
            << "the picture does not move";

        // A second reader at the same time, in a graph of its own.
        channel_test::SentFrameLog sent;
        ComPtr<IBaseFilter> second;
        ASSERT_EQ(graph_test::BindDevice(CLSID_VideoInputDeviceCategory, L"Talvoro Pelloquin", &second), S_OK);
        test_devices::CaptureGraph other;
        ASSERT_EQ(other.Build(second.Get()), S_OK);
        ASSERT_TRUE(SUCCEEDED(other.Run()));
        ASSERT_TRUE(harness::WaitUntil([&] { return other.SampleCount() >= 60; }, 8000));
        other.Stop();
        const std::vector<test_devices::ReceivedSample> samples = other.Samples();
        const auto decode = [](const test_devices::ReceivedSample& s) {
            return test_signals::DecodeFrameCounter(s.data.data(), s.data.size(), PixelFormat::kRgb24, 640, 480);
        };
        const auto a = decode(samples[2]), b = decode(samples.back());
        ASSERT_TRUE(a && b) << "the second reader shows no picture";
        EXPECT_GT(*b, *a);
        std::vector<std::pair<std::optional<uint32_t>, double>> delivered;
        for (size_t i = 2; i < samples.size(); ++i) delivered.push_back({decode(samples[i]), samples[i].arrival * 1e6});
        sent.PrintLatency("process A -> process B, 320x240 sent, RGB24 640x480 read", delivered);
        Shown meanwhile;
        EXPECT_TRUE(WaitForShown([&](const Shown& s) { return ShowsPicture(s) && *s.counter > *later.counter; }, 5000,
                                 &meanwhile))
            << "the first reader stopped while the second read";

        // Process A dies: the card again, without B doing anything.
        sender.Kill();
        const double killed = test_devices::Now();
        ASSERT_TRUE(WaitForShown(ShowsPlaceholder, 5000)) << "round " << round << ": no placeholder after the kill";
        std::printf("[ figures  ] placeholder in the preview %.2f s after process A was killed\n",
                    test_devices::Now() - killed);
    }
}

// Effect 5 (Invert) set in process A reaches the picture process B shows.
TEST_F(VirtualWebcamEndToEnd, TheEffectSetInTheSenderIsWhatTheReaderShows) {
    PreviewVirtualWebcam();
    SenderProcess sender;
    ASSERT_TRUE(sender.Start(L"--effect 5"));
    const auto invertedPicture = [](const Shown& s) { return s.taken && s.inverted.has_value() && !s.counter; };
    Shown first, later;
    ASSERT_TRUE(WaitForShown(invertedPicture, 15000, &first))
        << "no inverted test pattern (plain frame number: " << (first.counter ? long(*first.counter) : -1L) << ")";
    ASSERT_TRUE(WaitForShown([&](const Shown& s) { return invertedPicture(s) && *s.inverted > *first.inverted; }, 5000,
                             &later))
        << "the inverted picture does not move";
}

}  // namespace
