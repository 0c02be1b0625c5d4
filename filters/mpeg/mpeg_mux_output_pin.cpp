#include <algorithm>
#include <new>

#include "filters/mpeg/mpeg_media_types.h"
#include "filters/mpeg/mpeg_mux.h"
#include "filters/mpeg/mpeg_mux_pins.h"

namespace mpeg_filters {
namespace {
// A few seconds of a small recording per sample; the sink joins the packs.
constexpr long kBufferBytes = 64 * 1024;
constexpr long kBufferCount = 4;
}  // namespace

CMpegMuxOutputPin::CMpegMuxOutputPin(CMpegMux* mux, CCritSec* lock)
    : CBaseOutputPin(L"MPEG Mux output", mux, lock, L"Output") {}

mpeg::MuxOutput* CMpegMuxOutputPin::StartStream() {
    sink_.reset(new CSampleByteSink(this));
    position_ = 0;
    return this;
}

bool CMpegMuxOutputPin::Write(const uint8_t* data, size_t size) {
    if (!sink_ || !sink_->Write(position_, data, size)) return false;
    position_ += size;
    return true;
}

bool CMpegMuxOutputPin::FlushStream() { return sink_ && sink_->Flush(); }

HRESULT CMpegMuxOutputPin::StreamError() const { return sink_ ? sink_->LastError() : S_OK; }

HRESULT CMpegMuxOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return mt->majortype == MEDIATYPE_Stream && mt->subtype == MEDIASUBTYPE_MPEG1System ? S_OK
                                                                                         : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CMpegMuxOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    BuildSystemStreamType(mt);
    return S_OK;
}

HRESULT CMpegMuxOutputPin::Inactive() {
    if (sink_) sink_->Discard();  // its sample belongs to the allocator being decommitted
    return CBaseOutputPin::Inactive();
}

HRESULT CMpegMuxOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    // A writer may ask for alignment (unbuffered writes) and more buffers; it never gets less.
    props->cbBuffer = std::max(props->cbBuffer, kBufferBytes);
    props->cBuffers = std::max(props->cBuffers, kBufferCount);
    props->cbAlign = std::max(props->cbAlign, 1L);
    props->cbBuffer = (props->cbBuffer + props->cbAlign - 1) / props->cbAlign * props->cbAlign;
    ALLOCATOR_PROPERTIES actual = {};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= props->cbBuffer && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

}  // namespace mpeg_filters
