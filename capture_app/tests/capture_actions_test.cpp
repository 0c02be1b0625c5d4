// Snap, Rec and the self-timer of the real program: files named from the
// local time in the Capture folder beside it, kept for ffprobe's checks
// (snapory_*_probe tests), the controls a recording disables and the texts
// the on-screen displays show meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture_app/resource.h"
#include "capture_app/tests/snapory_install.h"

namespace {

using namespace snapory_test;
using harness::WaitUntil;

const int kDisabledWhileRecording[] = {IDC_BTN_SNAP, IDC_BTN_AUTOSNAP, IDC_BTN_EFFECT, IDC_BTN_SETUP, IDC_BTN_POPUP,
                                       IDC_COMBO_SIZE};

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Waits for exactly `count` files; the name of the newest one that has the extension.
std::wstring WaitForCapture(SnaporyInstall& app, size_t count, const std::wstring& extension, DWORD timeoutMs) {
    std::wstring found;
    WaitUntil([&] {
        const auto files = app.Captures();
        if (files.size() != count) return false;
        for (const auto& f : files)
            if (EndsWith(f, extension)) found = f;
        return !found.empty();
    }, timeoutMs, 100);
    return found;
}

// The name is the local time of the click, give or take the seconds it took.
bool NamedFromLocalTime(const std::wstring& name, const SYSTEMTIME& before, const std::wstring& extension) {
    FILETIME at;
    SystemTimeToFileTime(&before, &at);
    ULARGE_INTEGER t{{at.dwLowDateTime, at.dwHighDateTime}};
    for (int s = 0; s <= 15; ++s) {
        ULARGE_INTEGER probe = t;
        probe.QuadPart += 10000000ULL * s;
        FILETIME f{probe.LowPart, probe.HighPart};
        SYSTEMTIME local;
        FileTimeToSystemTime(&f, &local);
        if (name == LocalTimeStamp(local) + extension) return true;
    }
    return false;
}

// Waits until a file stops growing (the writer closed it).
void WaitUntilWritten(const std::wstring& path) {
    LONGLONG last = -1;
    WaitUntil([&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
        const LONGLONG size = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const bool steady = size > 0 && size == last;
        last = size;
        return steady;
    }, 5000, 300);
}

// The countdown texts the displays show until the tick count `until`, each
// change once, in order.
std::vector<std::wstring> CountdownShownUntil(const SnaporyInstall& app, DWORD until) {
    std::vector<std::wstring> seen;
    while (static_cast<LONG>(GetTickCount() - until) < 0) {
        for (const std::wstring& text : app.ShownDisplayTexts()) {
            if (text.rfind(kCountdownBefore, 0) == 0 && (seen.empty() || seen.back() != text)) seen.push_back(text);
        }
        Sleep(50);
    }
    return seen;
}

void PostCommand(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// True when no display shows anything during the whole time.
bool NoDisplayShownFor(const SnaporyInstall& app, DWORD ms) {
    return !WaitUntil([&] { return !app.ShownDisplayTexts().empty(); }, ms, 50);
}

TEST(SnaporyCapture, SnapWithTheDefaultsWritesOneJpegNamedFromTheLocalTime) {
    SnaporyInstall app(L"snapory-snap");
    app.WriteResourceIni();
    ASSERT_TRUE(app.Start());
    Sleep(1500);  // the preview's first frames
    SYSTEMTIME before;
    GetLocalTime(&before);
    app.Click(IDC_BTN_SNAP);
    const std::wstring jpeg = WaitForCapture(app, 1, L".jpg", 10000);
    ASSERT_FALSE(jpeg.empty()) << "no JPEG in the capture folder";
    EXPECT_TRUE(NamedFromLocalTime(jpeg, before, L".jpg")) << std::string(jpeg.begin(), jpeg.end());
    WaitUntilWritten(app.CaptureFolder() + L"\\" + jpeg);
    EXPECT_TRUE(KeepForProbe(app.CaptureFolder() + L"\\" + jpeg, L"snapory-default-snap.jpg"));
    EXPECT_TRUE(app.WaitForDisplayText(kSnapText, 3000)) << "the snapshot's text did not show";
    Sleep(500);
    EXPECT_EQ(app.Captures().size(), 1u);
    ASSERT_TRUE(app.Close());
}

TEST(SnaporyCapture, ConfigChoosesBmpAndAviWithSoundAndRecordingDisablesTheControls) {
    SnaporyInstall app(L"snapory-config-capture");
    app.WriteResourceIni();
    app.WriteConfig("[config]\r\nImageType=1\r\nRecType=1\r\nbCaptureAudio=1\r\n");
    ASSERT_TRUE(app.Start());
    Sleep(1500);
    SYSTEMTIME before;
    GetLocalTime(&before);
    app.Click(IDC_BTN_SNAP);
    const std::wstring bmp = WaitForCapture(app, 1, L".bmp", 10000);
    ASSERT_FALSE(bmp.empty());
    EXPECT_TRUE(NamedFromLocalTime(bmp, before, L".bmp"));
    WaitUntilWritten(app.CaptureFolder() + L"\\" + bmp);
    EXPECT_TRUE(KeepForProbe(app.CaptureFolder() + L"\\" + bmp, L"snapory-config-snap.bmp"));
    Sleep(1100);  // a recording in the same second would take the snapshot's stem

    app.Click(IDC_BTN_RECORD);
    EXPECT_TRUE(WaitUntil([&] {
        return std::none_of(std::begin(kDisabledWhileRecording), std::end(kDisabledWhileRecording),
                            [&](int id) { return harness::IsEnabled(app.Control(id)); });
    }, 5000)) << "controls still enabled while recording";
    EXPECT_TRUE(harness::IsEnabled(app.Control(IDC_BTN_RECORD)));
    EXPECT_TRUE(app.WaitForDisplayText(kRecordText, 3000)) << "the recording's text did not show";
    const std::wstring avi = WaitForCapture(app, 2, L".avi", 5000);
    ASSERT_FALSE(avi.empty()) << "no AVI while recording";
    Sleep(3000);
    app.Click(IDC_BTN_RECORD);
    EXPECT_TRUE(WaitUntil([&] {
        return std::all_of(std::begin(kDisabledWhileRecording), std::end(kDisabledWhileRecording),
                           [&](int id) { return harness::IsEnabled(app.Control(id)); });
    }, 5000)) << "controls not enabled after recording";
    EXPECT_TRUE(app.WaitForDisplayText(kStopRecordText, 3000)) << "the end of the recording was not shown";
    WaitUntilWritten(app.CaptureFolder() + L"\\" + avi);
    EXPECT_TRUE(KeepForProbe(app.CaptureFolder() + L"\\" + avi, L"snapory-config-record.avi"));

    // Self-timer: Rec is off during the countdown, one snapshot 10 s later, Rec back on.
    const size_t filesBefore = app.Captures().size();
    const DWORD started = GetTickCount();
    app.Click(IDC_BTN_AUTOSNAP);
    EXPECT_TRUE(WaitUntil([&] { return !harness::IsEnabled(app.Control(IDC_BTN_RECORD)); }, 3000));
    const std::vector<std::wstring> countdown = CountdownShownUntil(app, started + 8000);
    EXPECT_EQ(app.Captures().size(), filesBefore) << "self-timer fired early";
    // One text a second from 9 down; 8 s in, at least down to 3.
    ASSERT_GE(countdown.size(), 7u);
    for (size_t i = 0; i < countdown.size(); ++i)
        EXPECT_EQ(countdown[i], kCountdownBefore + std::to_wstring(9 - i) + kCountdownAfter) << "countdown text " << i;
    const std::wstring timed = WaitForCapture(app, filesBefore + 1, L".bmp", 5000);
    const DWORD elapsed = GetTickCount() - started;
    EXPECT_GE(elapsed, 9500u);
    EXPECT_LE(elapsed, 12500u);
    EXPECT_TRUE(WaitUntil([&] { return harness::IsEnabled(app.Control(IDC_BTN_RECORD)); }, 3000));
    Sleep(1500);
    EXPECT_EQ(app.Captures().size(), filesBefore + 1) << "more than one self-timer snapshot";
    ASSERT_TRUE(app.Close());
}

}  // namespace

namespace {

// Record type 0 is the default; 2 can only come from a hand-edited file and
// records MPEG as well. The hand-edited case records with sound and stops
// with the window minimised (the command posted, as nothing can be clicked):
// the recording's display, laid out while the window was up, must not show
// again then, it would float alone on the desktop. Its self-timer is set to
// 20 s: the countdown starts at 19 (the snapshot itself is the 10 s case's).
TEST(SnaporyCapture, DefaultAndHandEditedRecordTypesRecordMpeg) {
    for (const char* config : {"", "[config]\r\nRecType=2\r\nbCaptureAudio=1\r\nAutoSnapType=1\r\n"}) {
        const bool minimise = *config != 0;
        SnaporyInstall app(L"snapory-mpeg");
        app.WriteResourceIni();
        if (*config) app.WriteConfig(config);
        ASSERT_TRUE(app.Start());
        HWND window = app.Window();
        Sleep(1500);
        SYSTEMTIME before;
        GetLocalTime(&before);
        app.Click(IDC_BTN_RECORD);
        const std::wstring mpg = WaitForCapture(app, 1, L".mpg", 5000);
        ASSERT_FALSE(mpg.empty()) << "no .mpg for config " << config;
        EXPECT_TRUE(NamedFromLocalTime(mpg, before, L".mpg"));
        if (minimise) {
            EXPECT_TRUE(app.WaitForDisplayText(kRecordText, 3000));
            ShowWindow(window, SW_MINIMIZE);
            ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) && app.ShownDisplayTexts().empty(); }, 3000));
            Sleep(1500);
            PostCommand(window, IDC_BTN_RECORD);
            EXPECT_TRUE(NoDisplayShownFor(app, 2000)) << "a display shows over the minimised window";
            ShowWindow(window, SW_RESTORE);
            ASSERT_TRUE(WaitUntil([&] { return !IsIconic(window); }, 3000));
        } else {
            Sleep(3000);
            app.Click(IDC_BTN_RECORD);
        }
        WaitUntilWritten(app.CaptureFolder() + L"\\" + mpg);
        EXPECT_TRUE(KeepForProbe(app.CaptureFolder() + L"\\" + mpg,
                                 minimise ? L"snapory-rectype2-sound.mpg" : L"snapory-default.mpg"));
        if (minimise) {
            app.Click(IDC_BTN_AUTOSNAP);
            EXPECT_TRUE(app.WaitForDisplayText(kCountdownBefore + std::wstring(L"19") + kCountdownAfter, 3000))
                << "the 20 s self-timer's countdown did not start at 19";
        }
        ASSERT_TRUE(app.Close());
    }
}

}  // namespace
