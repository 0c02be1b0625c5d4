#include "testing/window_harness/trace_window.h"

namespace harness {
namespace {

TraceWindow* g_listening = nullptr;  // the one that records; none between tests

HWND SharedWindow(WNDPROC proc) {
    static HWND window = [proc] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "HarnessTraceWindow";
        RegisterClassA(&wc);
        return CreateWindowA("HarnessTraceWindow", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    }();
    return window;
}

}  // namespace

// An ANSI window, so that narrow text arrives as it was sent.
LRESULT CALLBACK TraceWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT && g_listening && lp) {
        g_listening->lines_.push_back(reinterpret_cast<const char*>(lp));
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TraceWindow::TraceWindow() {
    window_ = SharedWindow(Proc);
    SetWindowTextA(window_, "DebugHelper ");  // the title itself is not recorded
    g_listening = this;
}

TraceWindow::~TraceWindow() {
    g_listening = nullptr;
    SetWindowTextA(window_, "retired trace window");
}

bool TraceWindow::HasLineWith(const std::vector<std::string>& parts) const {
    for (const std::string& line : lines_) {
        bool all = true;
        for (const std::string& part : parts) all = all && line.find(part) != std::string::npos;
        if (all) return true;
    }
    return false;
}

}  // namespace harness
