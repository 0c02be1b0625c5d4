// The "DebugHelper " window that the trace channel writes to, for tests that
// read what the code under test traced. One window per process, titled for
// the life of a TraceWindow and retitled afterwards rather than destroyed
// (Wine without a window manager makes destroying a top-level window cost
// seconds). Lines sent from other threads arrive while this thread pumps
// messages (WaitUntil); those sent on this thread arrive at once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

class TraceWindow {
public:
    TraceWindow();
    ~TraceWindow();
    TraceWindow(const TraceWindow&) = delete;
    TraceWindow& operator=(const TraceWindow&) = delete;

    HWND Handle() const { return window_; }
    // Every text received so far, in order, as sent (ANSI).
    const std::vector<std::string>& Lines() const { return lines_; }
    // True when some line holds every one of the parts.
    bool HasLineWith(const std::vector<std::string>& parts) const;
    void Clear() { lines_.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND window_ = nullptr;
    std::vector<std::string> lines_;
};

}  // namespace harness
