// Registers the virtual webcam device (TalvoroPelloquin.ax, kept outside
// bin\ so that it joins no other test's device list) for as long as a test
// needs it, as regsvr32 would, and removes it again.
#pragma once

#include <windows.h>

#include <string>

namespace virtual_camera_test {

class ScopedVirtualCamera {
public:
    ScopedVirtualCamera();
    ~ScopedVirtualCamera();
    ScopedVirtualCamera(const ScopedVirtualCamera&) = delete;
    ScopedVirtualCamera& operator=(const ScopedVirtualCamera&) = delete;

    HRESULT Result() const { return result_; }
    // Where the module lies (beside the test programs' bin\ folder).
    static std::wstring ModulePath();

private:
    HRESULT Call(const char* entry) const;

    HMODULE module_ = nullptr;
    HRESULT result_ = E_FAIL;
};

}  // namespace virtual_camera_test
