// Snapory and the virtual webcam: with process A sending with effect 5
// (Invert), Snapory's Effect button switches its preview from the real camera,
// which shows the plain test pattern, to "Talvoro Pelloquin", which shows A's
// inverted one.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "capture_app/resource.h"
#include "capture_app/tests/snapory_install.h"
#include "filters/virtual_camera/tests/virtual_camera_registration.h"
#include "media/frame_channel/tests/channel_watch.h"
#include "test_signals/test_pattern.h"
#include "webcam_engine/tests/webcam_sender.h"

namespace {

using harness::WaitUntil;

// Snapory's preview rectangle inside its client area.
RECT PreviewOf(HWND window) {
    RECT c{};
    GetClientRect(window, &c);
    return RECT{c.left + 21, c.top + 35, c.right - 21, c.bottom - 94};
}

// A window titled as the virtual webcam application's, so that Effect tells
// it rather than trying to start the application.
class PeerStandIn {
public:
    PeerStandIn() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VirtualWebcamTestPeer";
        RegisterClassW(&wc);
        window_ = CreateWindowW(wc.lpszClassName, L"VemraZolt", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    }
    ~PeerStandIn() { DestroyWindow(window_); }

private:
    HWND window_;
};

// The frame number of the test pattern shown inverted in the preview.
std::optional<uint32_t> ShownInvertedFrameNumber(HWND window, const RECT& previewClient) {
    const harness::Screenshot shot = harness::CaptureWindow(window);
    const RECT area = snapory_test::ClientToCapture(window, previewClient);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (shot.Empty() || width <= 0 || height <= 0) return std::nullopt;
    // 32 bits a pixel: rows need no padding.
    std::vector<uint8_t> rgb(size_t(width) * height * 4);
    uint8_t* at = rgb.data();
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x, at += 4) {
            const COLORREF c = shot.At(x, y);
            at[0] = static_cast<uint8_t>(255 - GetBValue(c));
            at[1] = static_cast<uint8_t>(255 - GetGValue(c));
            at[2] = static_cast<uint8_t>(255 - GetRValue(c));
            at[3] = 0;
        }
    }
    return test_signals::DecodeFrameCounter(rgb.data(), rgb.size(), pixel_formats::PixelFormat::kRgb32, width,
                                            -height);
}

TEST(SnaporyVirtualWebcam, EffectSwitchesThePreviewToTheVirtualWebcamsDecoratedPicture) {
    virtual_camera_test::ScopedVirtualCamera registration;
    ASSERT_EQ(registration.Result(), S_OK);
    PeerStandIn peer;
    lumivox_test::SenderProcess sender;
    ASSERT_TRUE(sender.Start(L"--effect 5"));
    channel_test::ChannelWatch watch;
    channel_test::SentFrame sent;
    ASSERT_TRUE(watch.WaitForFrame(0, 20000, &sent)) << "process A sends nothing";

    snapory_test::SnaporyInstall app(L"snapory-virtual-webcam");
    app.WriteSkin();
    ASSERT_TRUE(app.Start());
    const HWND window = app.Window();
    ASSERT_TRUE(WaitUntil([&] { return snapory_test::ShownFrameNumber(window, PreviewOf(window)).has_value(); },
                          15000, 50))
        << "Snapory shows no plain picture of its own camera";
    EXPECT_FALSE(ShownInvertedFrameNumber(window, PreviewOf(window)).has_value());

    app.Click(IDC_BTN_EFFECT);
    const harness::MessageBoxInfo ask = harness::WaitForMessageBox(5000, app.Process().Id());
    ASSERT_NE(ask.window, nullptr) << "Effect did not offer to switch to the virtual webcam";
    harness::AnswerMessageBox(ask.window, IDOK);

    std::optional<uint32_t> first, later;
    ASSERT_TRUE(WaitUntil([&] { return (first = ShownInvertedFrameNumber(window, PreviewOf(window))).has_value(); },
                          15000, 50))
        << "the preview does not show the virtual webcam's inverted picture (plain frame number: "
        << [&] { auto n = snapory_test::ShownFrameNumber(window, PreviewOf(window)); return n ? long(*n) : -1L; }()
        << ")";
    EXPECT_TRUE(WaitUntil(
        [&] { return (later = ShownInvertedFrameNumber(window, PreviewOf(window))) && *later > *first; }, 5000, 50))
        << "the inverted picture stands still at " << *first;
    EXPECT_FALSE(snapory_test::ShownFrameNumber(window, PreviewOf(window)).has_value());
    ASSERT_TRUE(app.Close());
}

}  // namespace
