#include "filters/virtual_camera/virtual_camera_filter.h"

#include <new>

#include "filters/virtual_camera/virtual_camera_ids.h"

namespace virtual_camera {

CVirtualCamera::CVirtualCamera(LPUNKNOWN outer)
    : CLiveSourceFilter(TEXT("Talvoro Pelloquin"), outer, CLSID_VirtualCamera) {}

CVirtualCamera::~CVirtualCamera() { CancelWaits(); }

CUnknown* WINAPI CVirtualCamera::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* camera = new (std::nothrow) CVirtualCamera(outer);
    if (camera == nullptr) {
        *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    // The pin adds itself to the filter, which deletes it.
    if (new (std::nothrow) CCameraStream(camera) == nullptr) {
        delete camera;
        *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    return camera;
}

void CVirtualCamera::HoldWaits(bool fromStopped) {
    if (fromStopped) {
        gate_.Reset();
    } else {
        gate_.Pause();
    }
}

}  // namespace virtual_camera
