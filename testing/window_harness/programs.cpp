#include "testing/window_harness/programs.h"

#include <utility>

namespace harness {

UiThread::UiThread(std::function<INT_PTR()> body) : body_(std::move(body)) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
}

UiThread::~UiThread() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
}

bool UiThread::Join(DWORD timeoutMs, INT_PTR* result) {
    if (!thread_ || WaitForSingleObject(thread_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (result) *result = result_;
    return true;
}

DWORD WINAPI UiThread::Run(LPVOID self) {
    auto* thread = static_cast<UiThread*>(self);
    thread->result_ = thread->body_();
    return 0;
}

AppProcess::~AppProcess() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) Terminate();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool AppProcess::Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& workingDir) {
    if (info_.hProcess) return false;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info_) != FALSE;
}

bool AppProcess::WaitForIdle(DWORD timeoutMs) {
    return info_.hProcess && WaitForInputIdle(info_.hProcess, timeoutMs) == 0;
}

bool AppProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    if (exitCode) *exitCode = code;
    return true;
}

void AppProcess::Terminate() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
}

}  // namespace harness
