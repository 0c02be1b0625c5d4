#include "test_devices/live_pacer.h"

namespace test_devices {

LivePacer::LivePacer() : wake_(FALSE), advise_(FALSE) {
    QueryPerformanceFrequency(&frequency_);
}

void LivePacer::Reset() {
    CAutoLock lock(&lock_);
    running_ = false;
    cancelled_ = false;
    clock_.Reset();
    pausedAt_ = 0;
}

void LivePacer::Run(REFERENCE_TIME tStart, IReferenceClock* clock) {
    {
        CAutoLock lock(&lock_);
        running_ = true;
        tStart_ = tStart;
        clock_ = ComPtr<IReferenceClock>(clock);
        counterBase_ = CounterNow() - pausedAt_;
    }
    wake_.Set();
}

void LivePacer::Pause() {
    {
        CAutoLock lock(&lock_);
        if (running_ && !clock_) pausedAt_ = CounterNow() - counterBase_;
        running_ = false;
    }
    wake_.Set();
}

void LivePacer::Cancel() {
    {
        CAutoLock lock(&lock_);
        cancelled_ = true;
    }
    wake_.Set();
}

REFERENCE_TIME LivePacer::CounterNow() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // Split to keep the product inside 64 bits for any uptime.
    const LONGLONG f = frequency_.QuadPart;
    return now.QuadPart / f * 10000000 + now.QuadPart % f * 10000000 / f;
}

HRESULT LivePacer::WaitUntil(REFERENCE_TIME streamTime) {
    for (;;) {
        ComPtr<IReferenceClock> clock;
        REFERENCE_TIME tStart = 0, base = 0;
        bool running = false;
        {
            CAutoLock lock(&lock_);
            if (cancelled_) return S_FALSE;
            running = running_;
            clock = clock_;
            tStart = tStart_;
            base = counterBase_;
        }
        if (!running) {
            WaitForSingleObject(wake_, INFINITE);
        } else if (clock ? WaitOnClock(clock.Get(), tStart, streamTime)
                         : WaitOnCounter(base, streamTime)) {
            return S_OK;
        }
    }
}

bool LivePacer::WaitOnClock(IReferenceClock* clock, REFERENCE_TIME tStart,
                            REFERENCE_TIME streamTime) {
    REFERENCE_TIME now = 0;
    if (SUCCEEDED(clock->GetTime(&now)) && now >= tStart + streamTime) return true;
    DWORD_PTR cookie = 0;
    const HEVENT event = reinterpret_cast<HEVENT>(static_cast<HANDLE>(advise_));
    if (FAILED(clock->AdviseTime(tStart, streamTime, event, &cookie))) {
        // A clock that cannot advise still tells the time: poll it.
        WaitForSingleObject(wake_, 1);
        return false;
    }
    const HANDLE handles[] = {advise_, wake_};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) return true;
    clock->Unadvise(cookie);
    advise_.Reset();  // it may have fired after the wake
    return false;
}

bool LivePacer::WaitOnCounter(REFERENCE_TIME base, REFERENCE_TIME streamTime) {
    const REFERENCE_TIME remaining = base + streamTime - CounterNow();
    if (remaining <= 0) return true;
    // Rounded up, so that a wake-up never comes before the time.
    const DWORD ms = DWORD((remaining + 9999) / 10000);
    return WaitForSingleObject(wake_, ms) == WAIT_TIMEOUT;
}

}  // namespace test_devices
