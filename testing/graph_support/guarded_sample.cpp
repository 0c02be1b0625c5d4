#include "testing/graph_support/guarded_sample.h"

#include <algorithm>

namespace graph_test {

GuardedSample::GuardedSample(size_t size, uint8_t fill) : size_(size), bytes_(size + kGuardBytes, kGuard) {
    std::fill(bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(size), fill);
}

bool GuardedSample::GuardsIntact() const {
    return std::all_of(bytes_.begin() + static_cast<ptrdiff_t>(size_), bytes_.end(),
                       [](uint8_t b) { return b == kGuard; });
}

bool GuardedSample::Untouched(uint8_t value) const {
    return std::all_of(bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(size_),
                       [value](uint8_t b) { return b == value; });
}

STDMETHODIMP GuardedSample::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IMediaSample) {
        *ppv = static_cast<IMediaSample*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP GuardedSample::GetPointer(BYTE** buffer) {
    if (!buffer) return E_POINTER;
    *buffer = bytes_.data();
    return S_OK;
}

STDMETHODIMP GuardedSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    if (!timed_) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    if (!stopped_) return VFW_S_NO_STOP_TIME;
    *stop = stop_;
    return S_OK;
}

STDMETHODIMP GuardedSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    timed_ = start != nullptr;
    stopped_ = timed_ && stop != nullptr;
    if (timed_) start_ = *start;
    if (stopped_) stop_ = *stop;
    return S_OK;
}

STDMETHODIMP GuardedSample::SetActualDataLength(LONG length) {
    if (length < 0 || static_cast<size_t>(length) > size_) return VFW_E_BUFFER_OVERFLOW;
    actual_ = length;
    return S_OK;
}

STDMETHODIMP GuardedSample::GetMediaType(AM_MEDIA_TYPE** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!typeSet) return S_FALSE;
    *out = CreateMediaType(&type);
    return *out ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP GuardedSample::SetMediaType(AM_MEDIA_TYPE* mt) {
    typeSet = mt != nullptr;
    if (mt) type.Set(*mt);
    return S_OK;
}

STDMETHODIMP GuardedSample::GetMediaTime(LONGLONG* start, LONGLONG* stop) {
    if (!mediaTimed_) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = mediaStart_;
    *stop = mediaStop_;
    return S_OK;
}

STDMETHODIMP GuardedSample::SetMediaTime(LONGLONG* start, LONGLONG* stop) {
    mediaTimed_ = start && stop;
    if (mediaTimed_) {
        mediaStart_ = *start;
        mediaStop_ = *stop;
    }
    return S_OK;
}

}  // namespace graph_test
