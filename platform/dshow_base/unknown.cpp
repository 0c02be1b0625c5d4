#include "dshow_base/unknown.h"

namespace {
volatile LONG g_objectsActive = 0;
}

CBaseObject::CBaseObject(LPCWSTR name) : name_(name) { InterlockedIncrement(&g_objectsActive); }

CBaseObject::~CBaseObject() { InterlockedDecrement(&g_objectsActive); }

LONG CBaseObject::ObjectsActive() { return g_objectsActive; }

CUnknown::CUnknown(LPCWSTR name, LPUNKNOWN outer)
    : CBaseObject(name),
      owner_(outer ? outer : reinterpret_cast<LPUNKNOWN>(static_cast<INonDelegatingUnknown*>(this))),
      outer_(outer) {}

HRESULT CUnknown::OwnerQueryInterface(REFIID riid, void** ppv) {
    INonDelegatingUnknown* self = this;
    return outer_ ? outer_->QueryInterface(riid, ppv) : self->NonDelegatingQueryInterface(riid, ppv);
}

ULONG CUnknown::OwnerAddRef() {
    INonDelegatingUnknown* self = this;
    return outer_ ? outer_->AddRef() : self->NonDelegatingAddRef();
}

ULONG CUnknown::OwnerRelease() {
    INonDelegatingUnknown* self = this;
    return outer_ ? outer_->Release() : self->NonDelegatingRelease();
}

HRESULT STDMETHODCALLTYPE CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown) {
        return GetInterface(reinterpret_cast<LPUNKNOWN>(static_cast<INonDelegatingUnknown*>(this)), ppv);
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingAddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&ref_));
}

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingRelease() {
    const LONG left = InterlockedDecrement(&ref_);
    if (left == 0) {
        // Guard against a destructor that AddRefs and Releases itself.
        ref_ = 1;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(left);
}

HRESULT GetInterface(LPUNKNOWN unk, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = unk;
    unk->AddRef();
    return NOERROR;
}
