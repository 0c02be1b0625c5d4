// Snap, Rec and the self-timer of the real program: files named from the
// local time in the Capture folder beside it, kept for ffprobe's checks
// (snapory_*_probe tests), and the controls a recording disables.
#include <gtest/gtest.h>

#include <algorithm>

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
    const std::wstring avi = WaitForCapture(app, 2, L".avi", 5000);
    ASSERT_FALSE(avi.empty()) << "no AVI while recording";
    Sleep(3000);
    app.Click(IDC_BTN_RECORD);
    EXPECT_TRUE(WaitUntil([&] {
        return std::all_of(std::begin(kDisabledWhileRecording), std::end(kDisabledWhileRecording),
                           [&](int id) { return harness::IsEnabled(app.Control(id)); });
    }, 5000)) << "controls not enabled after recording";
    WaitUntilWritten(app.CaptureFolder() + L"\\" + avi);
    EXPECT_TRUE(KeepForProbe(app.CaptureFolder() + L"\\" + avi, L"snapory-config-record.avi"));

    // Self-timer: Rec is off during the countdown, one snapshot 10 s later, Rec back on.
    const size_t filesBefore = app.Captures().size();
    const DWORD started = GetTickCount();
    app.Click(IDC_BTN_AUTOSNAP);
    EXPECT_TRUE(WaitUntil([&] { return !harness::IsEnabled(app.Control(IDC_BTN_RECORD)); }, 3000));
    Sleep(8000);
    EXPECT_EQ(app.Captures().size(), filesBefore) << "self-timer fired early";
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

// Korvel records MPEG once the MPEG recording path lands (branch
// h14-korvel-mpeg); until then RunRecord refuses every format but AVI.
// Record type 0 is the default; 2 can only come from a hand-edited file.
TEST(SnaporyCapture, DISABLED_DefaultAndHandEditedRecordTypesRecordMpeg) {
    for (const char* config : {"", "[config]\r\nRecType=2\r\n"}) {
        SnaporyInstall app(L"snapory-mpeg");
        if (*config) app.WriteConfig(config);
        ASSERT_TRUE(app.Start());
        Sleep(1500);
        app.Click(IDC_BTN_RECORD);
        const std::wstring mpg = WaitForCapture(app, 1, L".mpg", 5000);
        ASSERT_FALSE(mpg.empty()) << "no .mpg for config " << config;
        Sleep(3000);
        app.Click(IDC_BTN_RECORD);
        WaitUntilWritten(app.CaptureFolder() + L"\\" + mpg);
        EXPECT_TRUE(KeepForProbe(app.CaptureFolder() + L"\\" + mpg, *config ? L"snapory-rectype2.mpg" : L"snapory-default.mpg"));
        ASSERT_TRUE(app.Close());
    }
}

}  // namespace
