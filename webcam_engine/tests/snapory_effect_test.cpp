// Snapory and the virtual webcam: with process A sending, Snapory's Effect
// button switches its preview from the real camera to "Talvoro Pelloquin",
// which then shows A's picture. A and Snapory each run their own stream of
// the test camera, started seconds apart, so the frame number on the screen
// says whose picture it is: Snapory's own stream is far behind A's.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "capture_app/resource.h"
#include "capture_app/tests/snapory_install.h"
#include "filters/virtual_camera/tests/virtual_camera_registration.h"
#include "media/frame_channel/tests/channel_watch.h"
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

TEST(SnaporyVirtualWebcam, EffectSwitchesThePreviewToTheVirtualWebcamsPicture) {
    virtual_camera_test::ScopedVirtualCamera registration;
    ASSERT_EQ(registration.Result(), S_OK);
    PeerStandIn peer;
    lumivox_test::SenderProcess sender;
    ASSERT_TRUE(sender.Start());
    // A's stream runs well ahead before Snapory starts its own.
    channel_test::ChannelWatch watch;
    channel_test::SentFrame sent;
    ASSERT_TRUE(WaitUntil([&] { return watch.WaitForFrame(0, 100, &sent) && sent.counter && *sent.counter > 150; },
                          20000))
        << "process A sends nothing";

    snapory_test::SnaporyInstall app(L"snapory-virtual-webcam");
    app.WriteSkin();
    ASSERT_TRUE(app.Start());
    const HWND window = app.Window();
    std::optional<uint32_t> own;
    ASSERT_TRUE(WaitUntil([&] { return (own = snapory_test::ShownFrameNumber(window, PreviewOf(window))).has_value(); },
                          15000, 50))
        << "Snapory shows no picture of its own camera";
    ASSERT_TRUE(watch.WaitForFrame(sent.sequence, 2000, &sent) && sent.counter);
    ASSERT_GT(*sent.counter, *own + 60) << "the two streams cannot be told apart";

    app.Click(IDC_BTN_EFFECT);
    const harness::MessageBoxInfo ask = harness::WaitForMessageBox(5000, app.Process().Id());
    ASSERT_NE(ask.window, nullptr) << "Effect did not offer to switch to the virtual webcam";
    harness::AnswerMessageBox(ask.window, IDOK);

    // Now the preview follows A's stream: its number is close to what A sends.
    std::optional<uint32_t> shown;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shown = snapory_test::ShownFrameNumber(window, PreviewOf(window));
            const uint64_t latest = watch.LatestSequence();
            channel_test::SentFrame now;
            if (!shown || !watch.WaitForFrame(latest > 0 ? latest - 1 : 0, 500, &now) || !now.counter) return false;
            return *shown + 15 >= *now.counter && *shown <= *now.counter + 1;
        },
        15000, 100))
        << "the preview does not show the virtual webcam's picture (shown "
        << (shown ? static_cast<long>(*shown) : -1L) << ")";
    ASSERT_TRUE(app.Close());
}

}  // namespace
