// IEnumPins over a filter's pins and IEnumMediaTypes over a pin's preferred
// types. Both hold a reference on what they enumerate and snapshot its
// version, answering VFW_E_ENUM_OUT_OF_SYNC once it changes until Reset.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/unknown.h"

class CBaseFilter;
class CBasePin;

class CEnumPins : public CUnknown, public IEnumPins {
public:
    // Hands out a new enumerator with one reference.
    static HRESULT Create(CBaseFilter* filter, IEnumPins** ppEnum);
    CEnumPins(CBaseFilter* filter, const CEnumPins* copyFrom);
    ~CEnumPins() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** ppEnum) override;

private:
    bool OutOfSync() const;

    CBaseFilter* filter_;  // AddRef'd for our lifetime
    int position_ = 0;
    LONG version_;
};

class CEnumMediaTypes : public CUnknown, public IEnumMediaTypes {
public:
    static HRESULT Create(CBasePin* pin, IEnumMediaTypes** ppEnum);
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* copyFrom);
    ~CEnumMediaTypes() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** ppEnum) override;

private:
    bool OutOfSync() const;

    CBasePin* pin_;  // AddRef'd (which holds the filter) for our lifetime
    int position_ = 0;
    LONG version_;
};
