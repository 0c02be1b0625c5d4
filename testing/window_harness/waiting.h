// Waiting for something a window does, without blocking the waiting thread's
// own windows: the thread's messages are dispatched between polls.
#pragma once

#include <windows.h>

#include <functional>

namespace harness {

// True as soon as condition() holds; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 15);

// Dispatches the calling thread's pending messages.
void PumpMessages();

// Dispatches the calling thread's messages for the given time, so that its
// windows (a preview, a renderer) and graph notifications run meanwhile.
void PumpFor(DWORD milliseconds);

}  // namespace harness
