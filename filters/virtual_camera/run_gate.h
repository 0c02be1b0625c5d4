// Lets the streaming thread of a live source wait while the filter is
// paused, and ends every wait when the filter stops. The thread also waits
// here for frames from the channel, so one wait covers both.
#pragma once

#include <windows.h>

#include "dshow_base/sync.h"

namespace virtual_camera {

class RunGate {
public:
    enum class Wake { kCancelled, kSignalled, kTimeout };

    void Reset();    // stopped -> paused: waits hold again
    void Run();
    void Pause();
    void Cancel();   // before the pins go inactive

    // Blocks while paused; false once cancelled.
    bool WaitRunning();
    // Waits for `other` (may be null) or the timeout, or a state change.
    Wake Wait(HANDLE other, DWORD timeout_ms);

private:
    CCritSec lock_;
    CAMEvent changed_;  // auto-reset: the one streaming thread looks at the state again
    bool running_ = false;
    bool cancelled_ = false;
};

}  // namespace virtual_camera
