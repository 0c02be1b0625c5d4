// The sending process of the end-to-end tests, as the tests start and stop it.
#pragma once

#include <windows.h>

#include <string>

#include "testing/window_harness/programs.h"

namespace lumivox_test {

// Set to end every VirtualWebcamSender.exe of the session politely.
inline constexpr wchar_t kSenderStopEvent[] = L"Local\\VirtualWebcamSender.Stop";

// VirtualWebcamSender.exe beside the running test program.
std::wstring SenderPath();

// Starts the sender with `arguments`; ended (by force, if need be) with the object.
class SenderProcess {
public:
    bool Start(const std::wstring& arguments = L"");
    // Ends it as a crash would: no clean-up in it at all.
    void Kill() { process_.Terminate(); }
    DWORD Id() const { return process_.Id(); }

private:
    harness::AppProcess process_;
};

}  // namespace lumivox_test
