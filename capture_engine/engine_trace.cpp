#include "capture_engine/engine_trace.h"

#include "narrow_text/debug_text.h"

HRESULT TraceFailedStep(const char* operation, const char* step, HRESULT hr) {
    SendDebugText("%s: %s failed with HRESULT 0x%08lX", operation, step, static_cast<unsigned long>(hr));
    return hr;
}
