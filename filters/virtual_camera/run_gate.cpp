#include "filters/virtual_camera/run_gate.h"

namespace virtual_camera {

void RunGate::Reset() {
    CAutoLock lock(&lock_);
    running_ = cancelled_ = false;
    changed_.Set();
}

void RunGate::Run() {
    CAutoLock lock(&lock_);
    running_ = true;
    changed_.Set();
}

void RunGate::Pause() {
    CAutoLock lock(&lock_);
    running_ = false;
    changed_.Set();
}

void RunGate::Cancel() {
    CAutoLock lock(&lock_);
    cancelled_ = true;
    changed_.Set();
}

bool RunGate::WaitRunning() {
    for (;;) {
        {
            CAutoLock lock(&lock_);
            if (cancelled_) return false;
            if (running_) return true;
        }
        changed_.Wait(INFINITE);
    }
}

RunGate::Wake RunGate::Wait(HANDLE other, DWORD timeout_ms) {
    {
        CAutoLock lock(&lock_);
        if (cancelled_) return Wake::kCancelled;
    }
    const HANDLE handles[2] = {changed_, other};
    const DWORD result = WaitForMultipleObjects(other != nullptr ? 2 : 1, handles, FALSE, timeout_ms);
    CAutoLock lock(&lock_);
    if (cancelled_) return Wake::kCancelled;
    // A state change counts as a signal: the caller looks at everything again.
    return result == WAIT_TIMEOUT ? Wake::kTimeout : Wake::kSignalled;
}

}  // namespace virtual_camera
