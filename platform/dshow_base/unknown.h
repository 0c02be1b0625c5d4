// Aggregation-aware IUnknown for every COM object of the layer.
//
// An object has an inner (non-delegating) IUnknown that owns its reference
// count and answers QueryInterface for its own interfaces, and an outer
// IUnknown (the aggregator when aggregated, otherwise the inner one) that all
// of its public interfaces forward to through DECLARE_IUNKNOWN.
#pragma once

#include <windows.h>
#include <objbase.h>

struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

// Counts live objects of the module, so that DllCanUnloadNow can answer.
class CBaseObject {
public:
    explicit CBaseObject(LPCWSTR name);
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject();

    static LONG ObjectsActive();
    LPCWSTR Name() const { return name_; }

private:
    LPCWSTR name_;  // static string, for diagnostics only
};

class CUnknown : public INonDelegatingUnknown, public CBaseObject {
public:
    // outer: the aggregating object's IUnknown, or null when not aggregated.
    CUnknown(LPCWSTR name, LPUNKNOWN outer);

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // The IUnknown every public interface forwards to.
    LPUNKNOWN GetOwner() const { return owner_; }

    // What DECLARE_IUNKNOWN forwards to. Without an aggregator they call our
    // own inner methods directly: calling through the inner object seen as an
    // IUnknown is fine across a COM boundary, but inside one program the
    // optimizer may resolve such a call to the wrong IUnknown of the object.
    HRESULT OwnerQueryInterface(REFIID riid, void** ppv);
    ULONG OwnerAddRef();
    ULONG OwnerRelease();

protected:
    volatile LONG ref_ = 0;

private:
    LPUNKNOWN owner_;  // not AddRef'd: the outer object owns us, not the reverse
    LPUNKNOWN outer_;  // the aggregator, or null
};

// Hands out an interface of this object with a reference on it.
HRESULT GetInterface(LPUNKNOWN unk, void** ppv);

// Public IUnknown methods that forward to the owner; put in every class that
// implements COM interfaces on top of CUnknown.
#define DECLARE_IUNKNOWN                                                        \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {             \
        return OwnerQueryInterface(riid, ppv);                                  \
    }                                                                           \
    STDMETHODIMP_(ULONG) AddRef() override { return OwnerAddRef(); }            \
    STDMETHODIMP_(ULONG) Release() override { return OwnerRelease(); }
