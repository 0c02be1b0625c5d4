#include "filters/mpeg/dump_filter.h"

#include <cstring>
#include <new>

#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/mpeg/no_throw.h"

namespace mpeg_filters {

CDumpFilter::CDumpFilter(LPUNKNOWN outer)
    : CBaseFilter(L"Dump", outer, &filterLock_, CLSID_DumpFileSink),
      pin_(new (std::nothrow) CDumpInputPin(this, &filterLock_)) {}

CDumpFilter::~CDumpFilter() = default;

CUnknown* WINAPI CDumpFilter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CDumpFilter(outer);
    if (!filter || !filter->pin_ || !filter->pin_->Name()) {
        delete filter;
        if (phr) *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    return filter;
}

STDMETHODIMP CDumpFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    if (riid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CDumpFilter::GetPin(int n) { return n == 0 ? pin_.get() : nullptr; }

STDMETHODIMP CDumpFilter::SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* mt) {
    if (!fileName) return E_POINTER;
    CAutoLock lock(&filterLock_);
    return CallNoThrow([&] {
        fileName_ = fileName;
        if (mt) return fileType_.Set(*mt);
        fileType_.InitMediaType();
        fileType_.SetType(&GUID_NULL);
        return S_OK;
    });
}

STDMETHODIMP CDumpFilter::GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* mt) {
    if (!fileName) return E_POINTER;
    *fileName = nullptr;
    CAutoLock lock(&filterLock_);
    if (fileName_.empty()) return E_FAIL;  // documented answer when no file is set
    const size_t bytes = (fileName_.size() + 1) * sizeof(WCHAR);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, fileName_.c_str(), bytes);
    if (mt) {
        const HRESULT hr = CopyMediaType(mt, &fileType_);
        if (FAILED(hr)) {
            CoTaskMemFree(copy);
            return hr;
        }
    }
    *fileName = copy;
    return S_OK;
}

STDMETHODIMP CDumpFilter::Pause() {
    CAutoLock lock(&filterLock_);
    if (m_State == State_Stopped) {
        // Never a default name: a recording without one must fail, not land somewhere.
        if (fileName_.empty()) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
        CAutoLock write(&writeLock_);
        RETURN_IF_FAILED(file_.Prepare(fileName_));
        failed_ = ended_ = completeSent_ = false;
    }
    const HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr)) {
        CAutoLock write(&writeLock_);
        file_.Close();
    }
    return hr;
}

STDMETHODIMP CDumpFilter::Run(REFERENCE_TIME start) {
    CAutoLock lock(&filterLock_);
    RETURN_IF_FAILED(CBaseFilter::Run(start));
    CAutoLock write(&writeLock_);
    if (ended_ && !completeSent_) {
        completeSent_ = true;
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    }
    return S_OK;
}

STDMETHODIMP CDumpFilter::Stop() {
    CAutoLock lock(&filterLock_);
    const HRESULT hr = CBaseFilter::Stop();  // no Receive gets past the pin after this
    CAutoLock write(&writeLock_);
    file_.Close();
    return hr;
}

HRESULT CDumpFilter::Write(const AM_SAMPLE2_PROPERTIES& sample) {
    CAutoLock write(&writeLock_);
    if (!file_.IsPrepared()) return VFW_E_WRONG_STATE;
    if (failed_) return S_FALSE;  // reported once already
    if (sample.lActual <= 0) return S_OK;
    const bool positioned = (sample.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    if (positioned && sample.tStart < 0) return E_INVALIDARG;
    const size_t size = static_cast<size_t>(sample.lActual);
    const HRESULT hr = positioned ? file_.WriteAt(static_cast<uint64_t>(sample.tStart), sample.pbBuffer, size)
                                  : file_.Append(sample.pbBuffer, size);
    if (FAILED(hr)) {
        failed_ = true;
        NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return hr;
}

HRESULT CDumpFilter::EndOfInput() {
    CAutoLock write(&writeLock_);
    ended_ = true;
    if (m_State == State_Running && !completeSent_) {
        completeSent_ = true;
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    }
    return S_OK;
}

// ---- CDumpInputPin

CDumpInputPin::CDumpInputPin(CDumpFilter* filter, CCritSec* lock)
    : CBaseInputPin(L"Dump input", filter, lock, L"Input"), filter_(filter) {}

HRESULT CDumpInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

STDMETHODIMP CDumpInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return filter_->Write(m_SampleProps);
}

STDMETHODIMP CDumpInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    return filter_->EndOfInput();
}

}  // namespace mpeg_filters
