// The capture devices' own settings pages through Korvel: a modal property
// frame that a second thread, playing the user, reads and closes.
#include <windows.h>
#include <dshow.h>

#include <string>

#include "engine_test_support.h"
#include "test_devices/camera_page_resources.h"
#include "test_devices/test_device_client.h"

namespace korvel_test {
namespace {

using KorvelPropertyPage = EngineTest;

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM param) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (IsWindowVisible(hwnd) && std::wstring(cls) == L"#32770") {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindFormatLine(HWND hwnd, LPARAM param) {
    if (GetDlgCtrlID(hwnd) == IDC_CAMERA_FORMAT) *reinterpret_cast<HWND*>(param) = hwnd;
    return TRUE;
}

// Waits for the frame on the UI thread, reads the page's format line and
// presses Cancel.
struct User {
    DWORD uiThread = 0;
    HWND frame = nullptr;
    std::wstring formatLine;

    static DWORD WINAPI Run(void* self) {
        static_cast<User*>(self)->Act();
        return 0;
    }
    void Act() {
        HWND format = nullptr;
        for (int i = 0; i < 200 && !format; ++i) {
            Sleep(50);
            frame = nullptr;
            EnumThreadWindows(uiThread, FindVisibleDialog, reinterpret_cast<LPARAM>(&frame));
            if (frame) EnumChildWindows(frame, FindFormatLine, reinterpret_cast<LPARAM>(&format));
        }
        if (!frame) return;
        if (format) {
            wchar_t text[128] = {};
            GetWindowTextW(format, text, 128);
            formatLine = text;
        }
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(frame, IDCANCEL)));
    }
};

TEST_F(KorvelPropertyPage, CameraPagesShowTheConnectedFormatAndClose) {
    TestWindow owner(320, 240);
    ASSERT_EQ(RunPreview(), 1);
    tag_VideoSize size = {320, 240};
    ASSERT_EQ(SetVideoSize(&size), 1);
    User user;
    user.uiThread = GetCurrentThreadId();
    const HANDLE thread = CreateThread(nullptr, 0, User::Run, &user, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(ShowVideoCpaturePropertyPage(owner.Handle()), 1);
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    EXPECT_NE(user.frame, nullptr) << "no property frame appeared";
    EXPECT_EQ(user.formatLine, L"320 x 240 RGB24");
    EXPECT_EQ(StopGraph(), 1);
}

TEST_F(KorvelPropertyPage, NoDeviceOrNoPagesAnswersZero) {
    EXPECT_EQ(ShowVideoCpaturePropertyPage(nullptr), 0) << "no video device before a preview";
    EXPECT_EQ(ShowAudioCapturePropertyPage(nullptr), 0) << "no audio device selected yet";
    ASSERT_EQ(SetAudioDevice(0), 1);
    EXPECT_EQ(ShowAudioCapturePropertyPage(nullptr), 0) << "the test microphone offers no pages";
}

}  // namespace
}  // namespace korvel_test
