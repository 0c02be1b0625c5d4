#include "webcam_app/tests/orvane_install.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "capture_app/tests/snapory_install.h"

namespace orvane_test {

namespace {

// The build's installed layout, beside the folder of the test programs.
std::wstring InstalledFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\'));
    return folder + L"\\..\\Orvane";
}

// SHFileOperation wants double terminators.
int Shell(UINT operation, const std::wstring& from, const std::wstring& to = L"") {
    const std::wstring from0 = from + L'\0', to0 = to + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = operation;
    op.pFrom = from0.c_str();
    op.pTo = to.empty() ? nullptr : to0.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;
    return SHFileOperationW(&op);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

OrvaneInstall::OrvaneInstall(const std::wstring& name) : folder_(snapory_test::OutputFolder() + L"\\" + name) {
    Shell(FO_DELETE, folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    Shell(FO_COPY, InstalledFolder() + L"\\*", folder_);
}

OrvaneInstall::~OrvaneInstall() {
    if (window_ && IsWindow(window_)) Close(5000);
    process_.Terminate();  // a program that did not close must not hold its files
    if (::testing::Test::HasFailure())
        std::printf("kept %ls for a look\n", folder_.c_str());
    else
        Shell(FO_DELETE, folder_);
}

void OrvaneInstall::WriteConfig(const std::string& text) { WriteBytes(folder_ + L"\\config.ini", text); }

std::string OrvaneInstall::ReadConfig() const {
    HANDLE file = CreateFileW((folder_ + L"\\config.ini").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

HWND OrvaneInstall::StartToChooser(DWORD timeoutMs) {
    if (!process_.Start(folder_ + L"\\Orvane.exe", L" /s", folder_)) return nullptr;
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
    return harness::WaitUntil([&] {
        RECT client{}, on{};
        GetClientRect(window_, &client);
        GetWindowRect(Control(1006), &on);
        POINT at{on.left, on.top};
        ScreenToClient(window_, &at);
        return at.y == client.bottom - 45;
    }, timeoutMs);
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

COLORREF ClientPixel(HWND window, int x, int y) {
    const harness::Screenshot shot = harness::CaptureWindow(window);
    const RECT at = snapory_test::ClientToCapture(window, RECT{x, y, x + 1, y + 1});
    return shot.At(at.left, at.top);
}

}  // namespace orvane_test
