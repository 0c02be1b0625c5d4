#include "filters/virtual_camera/virtual_camera_filter.h"

#include <new>

#include "filters/virtual_camera/virtual_camera_ids.h"

namespace virtual_camera {

CVirtualCamera::CVirtualCamera(LPUNKNOWN outer) : CSource(TEXT("Talvoro Pelloquin"), outer, CLSID_VirtualCamera) {}

CVirtualCamera::~CVirtualCamera() {
    // A streaming thread still waiting must not outlive the pin.
    gate_.Cancel();
}

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

STDMETHODIMP CVirtualCamera::Stop() {
    // Before the pin goes inactive: it waits for the streaming thread.
    gate_.Cancel();
    return CSource::Stop();
}

STDMETHODIMP CVirtualCamera::Pause() {
    CAutoLock lock(m_pLock);
    if (m_State == State_Stopped) {
        gate_.Reset();
    } else {
        gate_.Pause();
    }
    return CSource::Pause();
}

STDMETHODIMP CVirtualCamera::Run(REFERENCE_TIME tStart) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CSource::Run(tStart));
    gate_.Run();
    return S_OK;
}

STDMETHODIMP CVirtualCamera::GetState(DWORD milliseconds, FILTER_STATE* state) {
    RETURN_IF_FAILED(CSource::GetState(milliseconds, state));
    return *state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

}  // namespace virtual_camera
