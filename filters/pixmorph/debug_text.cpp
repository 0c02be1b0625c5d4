#include "filters/pixmorph/debug_text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

// Found once and looked up again only when it has gone; a stale handle costs
// one IsWindow call per trace, a lookup a walk over every top-level window.
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

#ifdef PIXMORPH_DIAGNOSTICS
// "DebugHelper" and, in the GBK code page, "output string format error", then "!".
const char kFormatError[] = "DebugHelper\xCA\xE4\xB3\xF6\xD7\xD6\xB7\xFB\xB4\xAE\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3!";
#endif

}  // namespace

void SendDebugText(const char* format, ...) {
    HWND helper = HelperWindow();
    if (!helper) return;
    char text[1000];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) {
#ifdef PIXMORPH_DIAGNOSTICS
        lstrcpynA(text, kFormatError, sizeof text);
#else
        text[0] = '\0';
#endif
    }
    SendMessageA(helper, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
