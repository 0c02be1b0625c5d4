#include "system_filters/sample_copy.h"

#include <cstring>

#include "dshow_base/com_ptr.h"
#include "dshow_base/media_type.h"

namespace system_filters {

namespace {

HRESULT CopyPayload(IMediaSample* src, IMediaSample* dst) {
    const long length = src->GetActualDataLength();
    if (length < 0) return E_UNEXPECTED;
    if (length > dst->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    RETURN_IF_FAILED(src->GetPointer(&from));
    RETURN_IF_FAILED(dst->GetPointer(&to));
    if (length > 0) std::memcpy(to, from, static_cast<size_t>(length));
    return dst->SetActualDataLength(length);
}

void CopyTimes(IMediaSample* src, IMediaSample* dst) {
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT hr = src->GetTime(&start, &stop);
    if (hr == S_OK) {
        dst->SetTime(&start, &stop);
    } else if (hr == VFW_S_NO_STOP_TIME) {
        dst->SetTime(&start, nullptr);
    } else {
        dst->SetTime(nullptr, nullptr);
    }
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (src->GetMediaTime(&mediaStart, &mediaStop) == S_OK) {
        dst->SetMediaTime(&mediaStart, &mediaStop);
    } else {
        dst->SetMediaTime(nullptr, nullptr);
    }
}

HRESULT CopyMediaTypeOf(IMediaSample* src, IMediaSample* dst) {
    AM_MEDIA_TYPE* type = nullptr;
    // A buffer fresh from an allocator carries no type, so only a present one is copied.
    if (src->GetMediaType(&type) != S_OK || !type) return S_OK;
    const HRESULT hr = dst->SetMediaType(type);
    DeleteMediaType(type);
    return hr;
}

}  // namespace

HRESULT CopySample(IMediaSample* src, IMediaSample* dst) {
    if (!src || !dst) return E_POINTER;
    RETURN_IF_FAILED(CopyPayload(src, dst));
    CopyTimes(src, dst);
    dst->SetSyncPoint(src->IsSyncPoint() == S_OK);
    dst->SetPreroll(src->IsPreroll() == S_OK);
    dst->SetDiscontinuity(src->IsDiscontinuity() == S_OK);
    return CopyMediaTypeOf(src, dst);
}

}  // namespace system_filters
