#include "filters/snapshot/snapshot_filter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "filters/snapshot/snapshot_pins.h"
#include "filters/snapshot/snapshot_writer.h"

namespace snapshot {

CSnapshotFilter::CSnapshotFilter(LPUNKNOWN outer)
    : CTransformFilter(L"Snapshot Filter", outer, CLSID_SnapshotFilter) {}

CUnknown* WINAPI CSnapshotFilter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CSnapshotFilter(outer);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

STDMETHODIMP CSnapshotFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_ISnapshotFilter) return GetInterface(static_cast<ISnapshotFilter*>(this), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CSnapshotFilter::GetRequestKind(int* kind) {
    if (!kind) return E_POINTER;
    *kind = 1;
    return S_OK;
}

STDMETHODIMP CSnapshotFilter::TakeSnapshot(int kind, const SnapshotRequest* request) {
    if (kind != 1) return E_INVALIDARG;
    if (!request) return E_POINTER;
    // Nothing may be thrown across the COM boundary.
    try {
        return WriteSnapshot(latest_, *request);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

CSnapshotInputPin* CSnapshotFilter::Input() const { return static_cast<CSnapshotInputPin*>(m_pInput); }

CSnapshotOutputPin* CSnapshotFilter::Output() const { return static_cast<CSnapshotOutputPin*>(m_pOutput); }

CTransformInputPin* CSnapshotFilter::CreateInputPin() { return new (std::nothrow) CSnapshotInputPin(this); }

CTransformOutputPin* CSnapshotFilter::CreateOutputPin() { return new (std::nothrow) CSnapshotOutputPin(this); }

HRESULT CSnapshotFilter::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    video_media::VideoFrameType parsed;
    return video_media::ParseVideoType(*in, true, &parsed);
}

// Pass-through: both ends carry exactly the same type.
HRESULT CSnapshotFilter::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    return *in == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSnapshotFilter::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(m_pInput->CurrentMediaType());
}

// Only for the copying path: buffers that hold whatever an upstream buffer
// can, two of them so that a renderer holding one does not stall the stream.
HRESULT CSnapshotFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    long size = static_cast<long>(m_pInput->CurrentMediaType().GetSampleSize());
    if (inputParsed_) size = std::max(size, static_cast<long>(input_.layout.size));
    ALLOCATOR_PROPERTIES upstream{};
    if (IMemAllocator* input = Input()->Allocator()) {
        if (SUCCEEDED(input->GetProperties(&upstream))) size = std::max(size, upstream.cbBuffer);
    }
    props->cbBuffer = std::max({props->cbBuffer, size, 1L});
    props->cBuffers = std::max(props->cBuffers, 2L);
    props->cbAlign = std::max(props->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= props->cbBuffer ? S_OK : E_FAIL;
}

HRESULT CSnapshotFilter::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (dir != PINDIR_INPUT) return S_OK;
    video_media::VideoFrameType parsed;
    RETURN_IF_FAILED(video_media::ParseVideoType(*mt, true, &parsed));
    input_ = parsed;
    inputParsed_ = true;
    return S_OK;
}

HRESULT CSnapshotFilter::CompleteConnect(PIN_DIRECTION dir, IPin* receivePin) {
    // Same type on a new input connection: the output is renegotiated once
    // upstream's allocator is known (OnInputAllocator), not twice.
    if (dir == PINDIR_INPUT && m_pOutput->IsConnected() &&
        m_pInput->CurrentMediaType() == m_pOutput->CurrentMediaType()) {
        return S_OK;
    }
    return CTransformFilter::CompleteConnect(dir, receivePin);
}

HRESULT CSnapshotFilter::OnInputAllocator() {
    if (!m_pOutput || !m_pOutput->IsConnected() || Output()->SharesInputAllocator()) return S_OK;
    const CMediaType type = m_pOutput->CurrentMediaType();
    // A graph that cannot reconnect leaves the output copying samples into
    // its own buffers, which still works.
    ReconnectPin(m_pOutput, &type);
    return S_OK;
}

void CSnapshotFilter::KeepFrame(IMediaSample* sample) {
    BYTE* data = nullptr;
    const long length = sample->GetActualDataLength();
    if (!inputParsed_ || length <= 0 || FAILED(sample->GetPointer(&data))) return;
    // A short or unreadable frame leaves the previous one for snapshots.
    latest_.Keep(input_.frame, data, static_cast<size_t>(length));
}

HRESULT CSnapshotFilter::DeliverCopy(IMediaSample* sample) {
    ComPtr<IMediaSample> out;
    RETURN_IF_FAILED(InitializeOutputSample(sample, out.Put()));
    const long length = sample->GetActualDataLength();
    if (length < 0) return E_UNEXPECTED;
    if (length > out->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&from));
    RETURN_IF_FAILED(out->GetPointer(&to));
    std::memcpy(to, from, static_cast<size_t>(length));
    RETURN_IF_FAILED(out->SetActualDataLength(length));
    return m_pOutput->Deliver(out.Get());
}

HRESULT CSnapshotFilter::Receive(IMediaSample* sample) {
    const AM_SAMPLE2_PROPERTIES* props = m_pInput->SampleProps();
    // Stream control data is passed on as it is.
    if (props->dwStreamId != AM_STREAM_MEDIA) return CTransformFilter::Receive(sample);
    KeepFrame(sample);
    if (!m_pOutput->IsConnected()) return S_OK;
    // The input pin took on a type change already; downstream sees the same.
    if ((props->dwSampleFlags & AM_SAMPLE_TYPECHANGED) && props->pMediaType) {
        RETURN_IF_FAILED(m_pOutput->SetMediaType(static_cast<const CMediaType*>(props->pMediaType)));
    }
    if (Output()->SharesInputAllocator()) return m_pOutput->Deliver(sample);
    return DeliverCopy(sample);
}

}  // namespace snapshot
