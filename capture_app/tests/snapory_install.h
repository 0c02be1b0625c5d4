// A private copy of Snapory's installed layout for one test: the program and
// engine copied from the build's Snapory folder, with the test's own
// Resource.ini, skin and config.ini written beside them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testing/window_harness/window_harness.h"

namespace snapory_test {

// Colours of the test skin: every frame piece is one flat colour.
inline constexpr COLORREF kFrameColour = RGB(0, 90, 160);
inline constexpr COLORREF kBottomColour = RGB(20, 140, 60);

// Resource.ini texts the tests look for.
inline constexpr wchar_t kSnapText[] = L"Snap!";
inline constexpr wchar_t kRecordTip[] = L"Record a video";
inline constexpr wchar_t kRecordText[] = L"REC";
inline constexpr wchar_t kStopRecordText[] = L"STOP";
// The countdown shows "T-<seconds>s".
inline constexpr wchar_t kCountdownBefore[] = L"T-";
inline constexpr wchar_t kCountdownAfter[] = L"s";

class SnaporyInstall {
public:
    // name: the test's folder below the output folder (emptied first).
    explicit SnaporyInstall(const std::wstring& name);
    ~SnaporyInstall();

    const std::wstring& Folder() const { return copy_.Folder(); }
    std::wstring CaptureFolder() const { return Folder() + L"\\Capture"; }

    void WriteResourceIni();
    void WriteSkin();
    void WriteConfig(const std::string& text);
    std::string ReadConfig() const;

    // Starts Snapory.exe and waits for its window; false when it did not come.
    bool Start(DWORD timeoutMs = 20000);
    HWND Window() const { return window_; }
    HWND Control(int id) const { return harness::FindControl(window_, id); }
    harness::AppProcess& Process() { return process_; }
    // Clicks the control with the real mouse.
    void Click(int id) const { harness::Click(Control(id)); }
    // Ends the program through its Close button; true when it exited.
    bool Close(DWORD timeoutMs = 10000);

    // Files of the capture folder, names only.
    std::vector<std::wstring> Captures() const;

    // The texts of the on-screen displays the window shows now (visible,
    // with a plate region on the client area).
    std::vector<std::wstring> ShownDisplayTexts() const;
    // Waits until a display shows exactly this text.
    bool WaitForDisplayText(const std::wstring& text, DWORD timeoutMs) const;

private:
    // Before the process: the program ends before its files go.
    harness::InstalledCopy copy_;
    harness::AppProcess process_;
    HWND window_ = nullptr;
};

using harness::ClientToCapture;
using harness::KeepForProbe;
using harness::OutputFolder;

// The video renderer's window inside Snapory's main window: the child that
// is none of the dialog's own controls. nullptr when there is none.
HWND FindVideoWindow(HWND dialog);

// Whether the client area's rectangle changes between two looks 400 ms apart:
// the live preview does, a still window does not.
bool AreaIsLive(HWND window, const RECT& clientArea);

// The test pattern's frame number as the preview rectangle (client
// co-ordinates) shows it on the screen; nothing when no frame is readable.
std::optional<uint32_t> ShownFrameNumber(HWND window, const RECT& previewClient);

// Processor time (user + kernel) the process running `program` (its full
// path) has used, in milliseconds.
double ProcessCpuMs(DWORD processId, const std::wstring& program);
// Milliseconds since the process was created.
double ProcessAgeMs(DWORD processId);

// Local time as Snapory names its files (no leading zeros).
std::wstring LocalTimeStamp(const SYSTEMTIME& t);

}  // namespace snapory_test
