#include "narrow_text/debug_text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

// Found once and looked up again only when it has gone; a stale handle costs
// one IsWindow call per trace, a lookup a walk over every top-level window.
// Streaming threads trace too, hence the volatile pair rather than a lock:
// two threads looking up at once find the same window.
HWND volatile g_helper = nullptr;
bool volatile g_searched = false;

HWND HelperWindow() {
    HWND helper = g_helper;
    if (!g_searched || !IsWindow(helper)) {
        helper = FindWindowA(nullptr, "DebugHelper ");
        g_helper = helper;
        g_searched = true;
    }
    return helper;
}

// "DebugHelper", then "output string format error" in the GBK code page, then "!".
const char kFormatError[] = "DebugHelper\xCA\xE4\xB3\xF6\xD7\xD6\xB7\xFB\xB4\xAE\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3!";

}  // namespace

void SendDebugText(const char* format, ...) {
    HWND helper = HelperWindow();
    if (!helper) return;
    char text[1000];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) lstrcpynA(text, kFormatError, sizeof text);
    SendMessageA(helper, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
