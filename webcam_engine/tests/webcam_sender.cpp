#include "webcam_engine/tests/webcam_sender.h"

namespace lumivox_test {

std::wstring SenderPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, length);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    return dir + L"VirtualWebcamSender.exe";
}

bool SenderProcess::Start(const std::wstring& arguments) {
    // A stop event left set by an earlier run would end the new sender at once.
    const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, kSenderStopEvent);
    if (stop) {
        ResetEvent(stop);
        CloseHandle(stop);
    }
    return process_.Start(SenderPath(), arguments);
}

}  // namespace lumivox_test
