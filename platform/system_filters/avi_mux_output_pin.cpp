#include "system_filters/avi_mux.h"
#include "system_filters/avi_mux_pins.h"

namespace system_filters {
namespace {
// Bytes per sample: several video frames of a small picture, a fraction of a
// large one; the sink splits and joins writes to fit.
const long kBufferSize = 512 * 1024;
const long kBufferCount = 4;
}  // namespace

CAviMuxOutputPin::CAviMuxOutputPin(CAviMux* mux, CCritSec* lock)
    : CBaseOutputPin(L"AVI Mux output", mux, lock, L"AVI Out") {}

HRESULT CAviMuxOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return mt->majortype == MEDIATYPE_Stream && mt->subtype == MEDIASUBTYPE_Avi ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAviMuxOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    mt->InitMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_Avi);
    mt->SetVariableSize();
    return S_OK;
}

HRESULT CAviMuxOutputPin::CompleteConnect(IPin* receivePin) {
    RETURN_IF_FAILED(CBaseOutputPin::CompleteConnect(receivePin));
    // Optional: a writer that offers it can still take bytes once it has stopped.
    ComPtr<IStream> stream;
    if (SUCCEEDED(receivePin->QueryInterface(IID_IStream, stream.PutVoid()))) sink_.SetStream(stream.Get());
    return S_OK;
}

HRESULT CAviMuxOutputPin::BreakConnect() {
    sink_.SetStream(nullptr);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CAviMuxOutputPin::Inactive() {
    sink_.Discard();  // its sample belongs to the allocator being decommitted
    return CBaseOutputPin::Inactive();
}

HRESULT CAviMuxOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    // A writer may ask for alignment (unbuffered writes) and more buffers; it never gets less than that.
    if (props->cbBuffer < kBufferSize) props->cbBuffer = kBufferSize;
    if (props->cBuffers < kBufferCount) props->cBuffers = kBufferCount;
    if (props->cbAlign < 1) props->cbAlign = 1;
    props->cbBuffer = (props->cbBuffer + props->cbAlign - 1) / props->cbAlign * props->cbAlign;
    ALLOCATOR_PROPERTIES actual = {};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= props->cbBuffer && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

}  // namespace system_filters
