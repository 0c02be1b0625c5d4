// CVideoInputPin: the converter's input pin, which also takes type changes
// without reconnection through IPinConnection and traces what it is asked.
#pragma once

#include "dshow_base/streams.h"

class CPixmorph;

class CVideoInputPin : public CTransformInputPin, public IPinConnection {
public:
    CVideoInputPin(LPCTSTR objName, CPixmorph* filter, LPCWSTR pinName);
    ~CVideoInputPin() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPinConnection
    STDMETHODIMP DynamicQueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP NotifyEndOfStream(HANDLE notifyEvent) override;
    STDMETHODIMP IsEndPin() override;
    STDMETHODIMP DynamicDisconnect() override;

private:
    CPixmorph* m_pPixmorph;  // owns us
};
