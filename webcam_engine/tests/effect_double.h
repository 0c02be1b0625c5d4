// A stand-in for the effect filter while a test runs: a pass-through video
// transform filter (RGB24, YUY2, I420) under CLSID_EffectFilter, made by a class object
// registered in this process only, that records every IEffectControl call.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "dshow_base/com_ptr.h"
#include <strmif.h>

namespace lumivox_test {

struct EffectCall {
    std::string method;
    std::wstring file;
    int values[6] = {};     // the int arguments in order
    const BYTE* buffer = nullptr;
};

// While it lives (COM initialised on this thread), creating CLSID_EffectFilter
// in this process gives the double.
class ScopedEffectDouble {
public:
    ScopedEffectDouble();
    ~ScopedEffectDouble();
    ScopedEffectDouble(const ScopedEffectDouble&) = delete;
    ScopedEffectDouble& operator=(const ScopedEffectDouble&) = delete;

    HRESULT Result() const { return result_; }
    // Calls every double made so far has recorded, oldest first.
    std::vector<EffectCall> Calls() const;
    // The double made last, null before the first.
    ComPtr<IBaseFilter> LastFilter() const;

private:
    HRESULT result_;
    DWORD cookie_ = 0;
};

}  // namespace lumivox_test
