// Snapory's main window under Wine: start-up on the test camera and without
// one, the skin, the size list, the resize zones, the narrow bar, the
// minimum size and config.ini at exit.
#include <gtest/gtest.h>

#include <cstdio>

#include "capture_app/resource.h"
#include "capture_app/tests/snapory_install.h"
#include "platform/test_devices/test_device_client.h"

namespace {

using namespace snapory_test;
using harness::WaitUntil;

RECT PreviewOf(HWND window) {
    RECT c{};
    GetClientRect(window, &c);
    return RECT{c.left + 21, c.top + 35, c.right - 21, c.bottom - 94};
}

LRESULT HitTest(HWND window, int x, int y) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 3000, &result);
    return static_cast<LRESULT>(result);
}

// Sizes the window so that its client area is width x height.
void SetClientSize(HWND window, int width, int height) {
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    const int extraW = (frame.right - frame.left) - client.right, extraH = (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width + extraW, height + extraH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The renderer's window is shown on the preview rectangle.
bool VideoWindowCovers(HWND dialog, const RECT& preview) {
    HWND video = FindVideoWindow(dialog);
    if (!video || !IsWindowVisible(video)) return false;
    RECT r{};
    GetWindowRect(video, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return EqualRect(&r, &preview) != FALSE;
}

void DragMouse(POINT from, POINT to) {
    harness::MoveMouseTo(from);
    harness::PressLeftButton();
    harness::MoveMouseTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    harness::MoveMouseTo(to);
    harness::ReleaseLeftButton();
    Sleep(300);
}

// The size list sits on the bottom bar left of its right border piece and
// above the Popup button in the corner.
::testing::AssertionResult SizeComboInsideFrame(HWND window, HWND combo) {
    RECT client{}, box{}, popup{};
    GetClientRect(window, &client);
    GetWindowRect(combo, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    GetWindowRect(GetDlgItem(window, IDC_BTN_POPUP), &popup);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&popup), 2);
    RECT overlap{};
    if (box.left == client.right - 130 && box.right <= client.right - 25 && box.bottom <= client.bottom &&
        !IntersectRect(&overlap, &box, &popup))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "size list at " << box.left << "," << box.top << " - " << box.right << ","
                                         << box.bottom << " in a client " << client.right << " x " << client.bottom;
}

int ClientWidth(HWND window) {
    RECT c{};
    GetClientRect(window, &c);
    return c.right;
}

TEST(SnaporyWindow, PreviewsTheTestCameraInItsSkinAndListsItsSizes) {
    SnaporyInstall app(L"snapory-window");
    app.WriteResourceIni();
    app.WriteSkin();
    const DWORD started = GetTickCount();
    ASSERT_TRUE(app.Start());
    HWND window = app.Window();
    ASSERT_TRUE(WaitUntil([&] { return VideoWindowCovers(window, PreviewOf(window)); }, 20000)) << "no preview window";
    std::printf("[ figures  ] start to preview window in place: %lu ms\n", GetTickCount() - started);

    // The test pattern itself shows in the preview rectangle, and moves on.
    std::optional<uint32_t> first;
    ASSERT_TRUE(WaitUntil([&] { return (first = ShownFrameNumber(window, PreviewOf(window))).has_value(); }, 10000, 20))
        << "no readable test-pattern frame in the preview rectangle";
    std::printf("[ figures  ] process start to first preview frame on screen: %.0f ms by its creation time, "
                "%lu ms by ours (frame %u)\n", ProcessAgeMs(app.Process().Id()), GetTickCount() - started, *first);
    EXPECT_TRUE(WaitUntil([&] {
        const auto now = ShownFrameNumber(window, PreviewOf(window));
        return now && *now > *first;
    }, 5000)) << "the preview's frame number stands still at " << *first;

    // Processor use while previewing 640 x 480, as a share of one core.
    const std::wstring program = app.Folder() + L"\\Snapory.exe";
    const DWORD wallStart = GetTickCount();
    const double cpuStart = ProcessCpuMs(app.Process().Id(), program);
    Sleep(4000);
    const double cpuMs = ProcessCpuMs(app.Process().Id(), program) - cpuStart;
    std::printf("[ figures  ] Snapory.exe previewing 640 x 480: %.1f %% of one core (%.0f ms in %lu ms)\n",
                100.0 * cpuMs / (GetTickCount() - wallStart), cpuMs, GetTickCount() - wallStart);

    // The frame around the preview is the skin's, the preview is not.
    RECT client{};
    GetClientRect(window, &client);
    const RECT leftBorder = ClientToCapture(window, RECT{2, 60, 19, 120});
    const RECT bottomBar = ClientToCapture(window, RECT{30, client.bottom - 90, 100, client.bottom - 70});
    harness::Screenshot shot;
    EXPECT_TRUE(WaitUntil([&] {
        shot = harness::CaptureWindow(window);
        return shot.Count(kFrameColour, leftBorder) == 17 * 60;
    }, 5000)) << "left border not painted from the skin";
    EXPECT_GT(shot.Count(kBottomColour, bottomBar), 70 * 20 / 2);
    EXPECT_EQ(shot.Count(kFrameColour, ClientToCapture(window, PreviewOf(window))), 0);

    HWND combo = app.Control(IDC_COMBO_SIZE);
    EXPECT_TRUE(SizeComboInsideFrame(window, combo));
    const std::vector<std::wstring> expected = {L"160 * 120", L"320 * 240", L"640 * 480", L"1280 * 720"};
    EXPECT_EQ(harness::ComboEntries(combo), expected);
    EXPECT_EQ(harness::ComboSelection(combo), 2);

    HWND record = app.Control(IDC_BTN_RECORD);
    ASSERT_TRUE(harness::ChooseComboEntry(combo, L"1280 * 720"));
    EXPECT_TRUE(WaitUntil([&] { return !harness::IsEnabled(record); }, 5000)) << "Rec stays enabled at 1280 wide";
    EXPECT_TRUE(VideoWindowCovers(window, PreviewOf(window)));
    ASSERT_TRUE(harness::ChooseComboEntry(combo, L"640 * 480"));
    EXPECT_TRUE(WaitUntil([&] { return harness::IsEnabled(record); }, 5000)) << "Rec stays disabled at 640 wide";
    // The picture comes back after the size changes, not only the window.
    std::optional<uint32_t> resumed;
    EXPECT_TRUE(WaitUntil([&] {
        const auto now = ShownFrameNumber(window, PreviewOf(window));
        if (now && resumed && *now > *resumed) return true;
        resumed = now;
        return false;
    }, 5000, 200)) << "no moving test pattern after the size changes";

    // A double click on the frame maximises the window, another restores it.
    // Each change is complete once the window has its new size and the skin
    // has laid its buttons out for it (Snap centred above the bottom edge):
    // the maximised flag alone changes before either.
    HWND snapButton = app.Control(IDC_BTN_SNAP);
    auto laidOutFor = [&](RECT* clientNow) {
        GetClientRect(window, clientNow);
        RECT snap{};
        GetWindowRect(snapButton, &snap);
        POINT at{snap.left, snap.top};
        ScreenToClient(window, &at);
        return at.x == clientNow->right / 2 - 25 && at.y == clientNow->bottom - 60 &&
               SizeComboInsideFrame(window, combo);
    };
    auto doubleClickFrame = [&] {
        RECT frame{};
        GetWindowRect(window, &frame);
        harness::MoveMouseTo(POINT{frame.left + 10, frame.top + 200});
        for (int i = 0; i < 2; ++i) {
            harness::PressLeftButton();
            harness::ReleaseLeftButton();
        }
    };
    RECT restored{};
    GetWindowRect(window, &restored);
    doubleClickFrame();
    RECT maximised{};
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(window) && laidOutFor(&maximised) && maximised.right > 1000; }, 8000))
        << "double click did not maximise";
    doubleClickFrame();
    RECT now{};
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowRect(window, &now);
        return !IsZoomed(window) && EqualRect(&now, &restored) && laidOutFor(&client);
    }, 8000)) << "double click did not restore: " << now.left << "," << now.top << " - " << now.right << ","
              << now.bottom << (IsZoomed(window) ? " zoomed" : "") << ", was " << restored.left << ","
              << restored.top << " - " << restored.right << "," << restored.bottom << "; "
              << ::testing::PrintToString(SizeComboInsideFrame(window, combo));

    ASSERT_TRUE(app.Close());
}

TEST(SnaporyWindow, ResizesOnlyFromRightAndBottomAndNotBelowTheMinimum) {
    SnaporyInstall app(L"snapory-resize");
    app.WriteSkin();
    ASSERT_TRUE(app.Start());
    HWND window = app.Window();
    RECT w{};
    GetWindowRect(window, &w);
    EXPECT_EQ(HitTest(window, w.right - 5, w.bottom - 5), HTBOTTOMRIGHT);
    EXPECT_EQ(HitTest(window, w.right - 5, w.top + 100), HTRIGHT);
    EXPECT_EQ(HitTest(window, w.left + 100, w.bottom - 5), HTBOTTOM);
    for (const LRESULT other : {HitTest(window, w.left + 3, w.top + 100), HitTest(window, w.left + 100, w.top + 3)})
        EXPECT_TRUE(other != HTLEFT && other != HTTOP && other != HTTOPLEFT && other != HTBOTTOMRIGHT) << other;

    // Narrow bar below a client width of 561: Browse and Setup go away.
    SetClientSize(window, 560, 420);
    ASSERT_EQ(ClientWidth(window), 560);
    // The layout shows or hides one button after the other: wait for both.
    auto browseAndSetupShown = [&](bool shown) {
        return WaitUntil([&] {
            return harness::IsVisible(app.Control(IDC_BTN_BROWSE)) == shown &&
                   harness::IsVisible(app.Control(IDC_BTN_SETUP)) == shown;
        }, 5000);
    };
    EXPECT_TRUE(browseAndSetupShown(false));
    SetClientSize(window, 561, 420);
    ASSERT_EQ(ClientWidth(window), 561);
    EXPECT_TRUE(browseAndSetupShown(true));

    // Dragging the right edge far left and the bottom edge far up stops at
    // 455 x 353 (the corner itself is under the Popup button).
    GetWindowRect(window, &w);
    DragMouse(POINT{w.right - 8, w.top + 150}, POINT{w.left + 60, w.top + 150});
    DragMouse(POINT{w.left + 100, w.bottom - 8}, POINT{w.left + 100, w.top + 60});
    RECT now{};
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowRect(window, &now);
        return now.right - now.left == 455 && now.bottom - now.top == 353;
    }, 5000)) << "window is " << now.right - now.left << " x " << now.bottom - now.top;
    ASSERT_TRUE(app.Close());
}

TEST(SnaporyWindow, ExitWritesTheEightKeysOfConfigInOrder) {
    SnaporyInstall app(L"snapory-config");
    app.WriteConfig("[config]\r\nJPEGQuality=55\r\nLastPage=2\r\nunknown=1\r\n[other]\r\nx=1\r\n");
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.Close());
    const std::wstring capture = app.CaptureFolder();
    const std::string workpath(capture.begin(), capture.end());
    EXPECT_EQ(app.ReadConfig(), "[config]\r\nAutoSnapType=0\r\nImageType=0\r\nJPEGQuality=55\r\nLastPage=2\r\n"
                                "MpegQuality=1\r\nRecType=0\r\nbCaptureAudio=0\r\nworkpath=" + workpath + "\r\n");
}

TEST(SnaporyWindow, WithoutACameraShowsTheSkinWithoutPreview) {
    test_devices::ScopedTestDevices devices(L"cameras=0");
    ASSERT_EQ(devices.Result(), S_OK);
    SnaporyInstall app(L"snapory-nocamera");
    app.WriteSkin();
    ASSERT_TRUE(app.Start());
    HWND window = app.Window();
    const RECT leftBorder = ClientToCapture(window, RECT{2, 60, 19, 120});
    EXPECT_TRUE(WaitUntil([&] { return harness::CaptureWindow(window).Count(kFrameColour, leftBorder) == 17 * 60; }, 5000));
    EXPECT_EQ(FindVideoWindow(window), nullptr);
    EXPECT_TRUE(harness::ComboEntries(app.Control(IDC_COMBO_SIZE)).empty());
    ASSERT_TRUE(app.Close());
}

}  // namespace

namespace {

// More sizes than the 20-entry array and a name longer than the 100-unit
// name buffer: the program lists what fits and carries on.
TEST(SnaporyWindow, TooManySizesAndOverlongNamesStayWithinTheirBuffers) {
    const std::wstring config = L"cameras=2;camera0.sizes=25;camera1.name=" + std::wstring(120, L'N');
    test_devices::ScopedTestDevices devices(config.c_str());
    ASSERT_EQ(devices.Result(), S_OK);
    SnaporyInstall app(L"snapory-bounds");
    ASSERT_TRUE(app.Start());
    const std::vector<std::wstring> sizes = harness::ComboEntries(app.Control(IDC_COMBO_SIZE));
    ASSERT_EQ(sizes.size(), 20u);
    EXPECT_EQ(sizes.front(), L"160 * 120");
    EXPECT_EQ(sizes.back(), L"128 * 96");
    EXPECT_EQ(harness::ComboSelection(app.Control(IDC_COMBO_SIZE)), 2);
    ASSERT_TRUE(app.Close());
}

}  // namespace
