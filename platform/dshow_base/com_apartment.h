// Joins a COM apartment for the current scope when the thread has none
// (regsvr32 and DllInstall callers need not have initialised COM).
#pragma once

#include <objbase.h>

class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    // RPC_E_CHANGED_MODE: the thread is in the MTA, COM works, nothing to undo.
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};
