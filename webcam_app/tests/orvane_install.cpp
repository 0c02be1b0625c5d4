#include "webcam_app/tests/orvane_install.h"

namespace orvane_test {

OrvaneInstall::OrvaneInstall(const std::wstring& name) : copy_(L"Orvane", name) {}

OrvaneInstall::~OrvaneInstall() {
    if (window_ && IsWindow(window_)) Close(5000);
    process_.Terminate();  // a program that did not close must not hold its files
}

void OrvaneInstall::WriteConfig(const std::string& text) { copy_.WriteFile(L"config.ini", text); }

std::string OrvaneInstall::ReadConfig() const { return copy_.ReadFile(L"config.ini"); }

HWND OrvaneInstall::StartToChooser(DWORD timeoutMs) {
    if (!process_.Start(Folder() + L"\\Orvane.exe", L" /s", Folder())) return nullptr;
    chooser_ = harness::FindTopLevelWindow(kChooserTitle, timeoutMs, process_.Id());
    return chooser_;
}

bool OrvaneInstall::ChooseAndOpen(const std::wstring& device, DWORD timeoutMs) {
    if (!chooser_ || !harness::ChooseComboEntry(harness::FindControl(chooser_, 1024), device)) return false;
    PostMessageW(chooser_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    window_ = harness::FindTopLevelWindow(kPanelTitle, timeoutMs, process_.Id());
    return window_ && WaitForLayout(timeoutMs);
}

bool OrvaneInstall::WaitForLayout(DWORD timeoutMs) const {
    // Each paint lays the buttons out by the client height.
    return harness::WaitForControlTop(window_, 1006, 45, timeoutMs);
}

bool OrvaneInstall::Start(const std::wstring& device, DWORD timeoutMs) {
    return StartToChooser(timeoutMs) && ChooseAndOpen(device, timeoutMs);
}

bool OrvaneInstall::Close(DWORD timeoutMs) {
    if (window_ && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    const bool exited = process_.WaitForExit(timeoutMs);
    window_ = nullptr;
    return exited;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace orvane_test
