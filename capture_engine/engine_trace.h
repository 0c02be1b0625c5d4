// Failures inside the engines, told through the trace channel: which
// operation, which step and its HRESULT, so that a 0 from an export can be
// explained from the "DebugHelper " window's lines.
#pragma once

#include <windows.h>

// Sends "<operation>: <step> failed with HRESULT 0x........" and returns hr.
HRESULT TraceFailedStep(const char* operation, const char* step, HRESULT hr);

// RETURN_IF_FAILED that names the failing step by its source text.
#define RETURN_IF_STEP_FAILED(expr)                                          \
    do {                                                                     \
        const HRESULT stepResult_ = (expr);                                  \
        if (FAILED(stepResult_)) return TraceFailedStep(__func__, #expr, stepResult_); \
    } while (0)

// A failure found without a call: the condition is the step.
#define FAIL_STEP(what, hr) TraceFailedStep(__func__, what, hr)
