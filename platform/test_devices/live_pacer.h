// Paces a live source: the streaming thread waits until the stream time of
// the data it is about to deliver, by the graph's reference clock or, without
// one, by the system's monotonic counter. In pause a live source produces
// nothing, so the wait also holds while the filter is paused.
//
// The filter calls Run/Pause from its state methods and Cancel before its
// pins go inactive; the streaming thread calls WaitUntil.
#pragma once

#include <windows.h>
#include <strmif.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/sync.h"

namespace test_devices {

class LivePacer {
public:
    LivePacer();

    // Stopped -> paused: a new run of the stream starts at stream time 0.
    void Reset();
    // clock may be null. tStart: reference time at which stream time is 0.
    void Run(REFERENCE_TIME tStart, IReferenceClock* clock);
    void Pause();
    // Ends every wait, now and until the next Reset.
    void Cancel();

    // S_OK once stream time reaches `streamTime` while running; S_FALSE when
    // cancelled first.
    HRESULT WaitUntil(REFERENCE_TIME streamTime);

private:
    // Each returns true when the time came, false when woken by a state change.
    bool WaitOnClock(IReferenceClock* clock, REFERENCE_TIME tStart, REFERENCE_TIME streamTime);
    bool WaitOnCounter(REFERENCE_TIME base, REFERENCE_TIME streamTime);
    REFERENCE_TIME CounterNow() const;

    CCritSec lock_;
    CAMEvent wake_;    // auto-reset: state changed, the waiter looks again
    CAMEvent advise_;  // auto-reset: the clock's advise fired
    bool running_ = false;
    bool cancelled_ = false;
    REFERENCE_TIME tStart_ = 0;
    ComPtr<IReferenceClock> clock_;
    // Without a clock: counter time at which stream time was 0, and the
    // stream time reached when paused, so that a resumed run continues from it.
    REFERENCE_TIME counterBase_ = 0;
    REFERENCE_TIME pausedAt_ = 0;
    LARGE_INTEGER frequency_{};
};

}  // namespace test_devices
