#include "test_devices/camera_filter.h"

#include <new>
#include <string>

#include "test_devices/device_store.h"

namespace test_devices {

CTestCamera::CTestCamera(int index, LPUNKNOWN outer, bool exclusive)
    : CLiveSource(L"Talvoro test camera", outer, kCameraClsids[index]), index_(index), exclusive_(exclusive) {}

CTestCamera::~CTestCamera() {
    if (hold_ != nullptr) CloseHandle(hold_);
}

HRESULT CTestCamera::Hold() {
    if (!exclusive_ || hold_ != nullptr) return S_OK;
    const std::wstring name = L"Local\\TalvoroTestCamera" + std::to_wstring(index_) + L".InUse";
    hold_ = CreateMutexW(nullptr, FALSE, name.c_str());
    if (hold_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(hold_);
        hold_ = nullptr;
        return HRESULT_FROM_WIN32(ERROR_BUSY);
    }
    return S_OK;
}

STDMETHODIMP CTestCamera::Pause() {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(Hold());
    return CLiveSource::Pause();
}

// Graphs may run a filter whose pause they saw fail; it refuses again.
STDMETHODIMP CTestCamera::Run(REFERENCE_TIME tStart) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(Hold());
    return CLiveSource::Run(tStart);
}

STDMETHODIMP CTestCamera::Stop() {
    const HRESULT hr = CLiveSource::Stop();
    CAutoLock lock(m_pLock);
    if (hold_ != nullptr) CloseHandle(hold_);
    hold_ = nullptr;
    return hr;
}

CUnknown* WINAPI CTestCamera::CreateInstance(int index, LPUNKNOWN outer, HRESULT* phr) {
    const DeviceSet set = LoadDeviceSet();
    DeviceSettings settings;
    settings.name = DefaultCameraName(index);
    if (index < int(set.cameras.size())) settings = set.cameras[index];

    auto* camera = new (std::nothrow) CTestCamera(index, outer, settings.exclusive);
    // The pin registers itself with the filter, which owns it from then on.
    if (!camera || !new (std::nothrow) CCameraStream(camera, settings)) {
        delete camera;
        *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    return camera;
}

STDMETHODIMP CTestCamera::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_ISpecifyPropertyPages)) {
        return GetInterface(static_cast<ISpecifyPropertyPages*>(this), ppv);
    }
    return CLiveSource::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CTestCamera::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_TestCameraPropertyPage;
    return S_OK;
}

}  // namespace test_devices
