#include "dshow_base/factory.h"

#include <new>

namespace {

volatile LONG g_serverLocks = 0;

// Counts as a live object of the module (CBaseObject), so the DLL stays
// loaded while a client holds a factory.
class CClassFactory final : public IClassFactory, public CBaseObject {
public:
    explicit CClassFactory(const CFactoryTemplate* tmpl) : CBaseObject(L"Class factory"), tmpl_(tmpl) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            return GetInterface(static_cast<IClassFactory*>(this), ppv);
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&ref_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&ref_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;

    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&g_serverLocks);
        } else {
            InterlockedDecrement(&g_serverLocks);
        }
        return S_OK;
    }

private:
    volatile LONG ref_ = 0;
    const CFactoryTemplate* tmpl_;
};

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // An aggregator must hold the inner object by its non-delegating
    // IUnknown; any other interface would forward to the aggregator itself.
    if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    try {
        HRESULT hr = S_OK;
        CUnknown* object = tmpl_->CreateInstance(outer, &hr);
        if (!object) return hr;
        // The temporary reference makes a failed query delete the object.
        object->NonDelegatingAddRef();
        hr = object->NonDelegatingQueryInterface(riid, ppv);
        object->NonDelegatingRelease();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;  // no exception may leave through COM
    }
}

}  // namespace

CUnknown* CFactoryTemplate::CreateInstance(LPUNKNOWN outer, HRESULT* phr) const {
    HRESULT hr = S_OK;
    CUnknown* object = m_lpfnNew(outer, &hr);
    if (object && FAILED(hr)) {
        delete object;  // never referenced yet, so deleting is the whole clean-up
        object = nullptr;
    }
    if (!object && SUCCEEDED(hr)) hr = E_OUTOFMEMORY;
    if (phr) *phr = hr;
    return object;
}

HRESULT CreateClassFactory(const CFactoryTemplate* tmpl, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* factory = new (std::nothrow) CClassFactory(tmpl);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

LONG ModuleLockCount() { return g_serverLocks; }
