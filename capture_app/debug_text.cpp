#include "capture_app/debug_text.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>
#include <string>

#include "dialog_framework/wide_string.h"

namespace {

HWND g_debugWindow = nullptr;

HWND DebugWindow() {
    if (!g_debugWindow || !::IsWindow(g_debugWindow)) g_debugWindow = ::FindWindowW(nullptr, L"DebugHelper ");
    return g_debugWindow;
}

}  // namespace

void SendDebugText(const wchar_t* format, ...) {
    HWND window = DebugWindow();
    if (!window) return;
    wchar_t text[1024];
    va_list args;
    va_start(args, format);
    const int length = std::vswprintf(text, sizeof text / sizeof text[0], format, args);
    va_end(args);
    if (length < 0) {
        // Sent narrow, in the ANSI code page, as the window's other readers expect.
        const std::string narrow = WideToAnsi(L"DebugHelper\u8f93\u51fa\u5b57\u7b26\u4e32\u683c\u5f0f\u9519\u8bef!");
        ::SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(narrow.c_str()));
        return;
    }
    ::SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
