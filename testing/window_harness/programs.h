// Running the program under test: in this process on a thread of its own
// (framework tests), or as a separate process (application tests).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace harness {

// Runs body (e.g. a dialog's DoModal) on a new thread, which owns the
// windows it makes; the test thread drives them meanwhile.
class UiThread {
public:
    explicit UiThread(std::function<INT_PTR()> body);
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;
    // Waits for the thread: end its user interface first.
    ~UiThread();

    // True with body's result when the thread ended within timeoutMs.
    bool Join(DWORD timeoutMs, INT_PTR* result = nullptr);
    DWORD ThreadId() const { return threadId_; }

private:
    static DWORD WINAPI Run(LPVOID self);

    std::function<INT_PTR()> body_;
    INT_PTR result_ = 0;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

// A program started with CreateProcess; ended by force if still running when
// the object goes.
class AppProcess {
public:
    AppProcess() = default;
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;
    ~AppProcess();

    // arguments are appended to the quoted program path; workingDir empty: ours.
    bool Start(const std::wstring& program, const std::wstring& arguments = L"", const std::wstring& workingDir = L"");
    DWORD Id() const { return info_.dwProcessId; }
    // Until the program waits for input for the first time.
    bool WaitForIdle(DWORD timeoutMs);
    // True with the exit code when the program ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Terminate();

private:
    PROCESS_INFORMATION info_{};
};

}  // namespace harness
