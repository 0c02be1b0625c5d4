// A private copy of Orvane's installed layout for one test: everything of
// the build's Orvane folder (program, engine, skins, texts, frames), with
// the test's config.ini written beside it when it wants one. The program is
// started there and led through its device chooser to the panel.
#pragma once

#include <windows.h>

#include <string>

#include "testing/window_harness/window_harness.h"

namespace orvane_test {

inline constexpr wchar_t kPanelTitle[] = L"VemraZolt";
inline constexpr wchar_t kChooserTitle[] = L"Please chose Device";

class OrvaneInstall {
public:
    // name: the test's folder below the output folder (emptied first).
    explicit OrvaneInstall(const std::wstring& name);
    ~OrvaneInstall();

    const std::wstring& Folder() const { return copy_.Folder(); }
    void WriteConfig(const std::string& text);
    std::string ReadConfig() const;

    // Starts Orvane.exe and waits for its device chooser; nullptr when it did not come.
    HWND StartToChooser(DWORD timeoutMs = 20000);
    // Picks the chooser's entry with this text, presses OK and waits for the panel.
    bool ChooseAndOpen(const std::wstring& device, DWORD timeoutMs = 20000);
    // Both of the above.
    bool Start(const std::wstring& device, DWORD timeoutMs = 20000);

    // Until the buttons sit where the window's present size puts them.
    bool WaitForLayout(DWORD timeoutMs = 5000) const;

    HWND Chooser() const { return chooser_; }
    HWND Window() const { return window_; }
    HWND Control(int id) const { return harness::FindControl(window_, id); }
    harness::AppProcess& Process() { return process_; }
    // Clicks a control with the real mouse.
    void Click(int id) const { harness::Click(Control(id)); }
    // Ends the program with WM_CLOSE; true when it exited.
    bool Close(DWORD timeoutMs = 15000);

private:
    // Before the process: the program ends before its files go.
    harness::InstalledCopy copy_;
    harness::AppProcess process_;
    HWND chooser_ = nullptr;
    HWND window_ = nullptr;
};

// Sends a message and waits for the answer, with a timeout instead of a hang.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

using harness::ClientPixel;

}  // namespace orvane_test
