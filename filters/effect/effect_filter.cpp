// CEffectFilter: creation, media types, buffers and the per-frame work.
#include "filters/effect/effect_filter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace effect_filter {

using video_media::ParseVideoType;
using video_media::VideoFrameType;

CUnknown* WINAPI CEffectFilter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CEffectFilter(outer);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

CEffectFilter::CEffectFilter(LPUNKNOWN outer) : CTransformFilter(L"Effect Filter", outer, CLSID_EffectFilter) {}

STDMETHODIMP CEffectFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IEffectControl) return GetInterface(static_cast<IEffectControl*>(this), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEffectFilter::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    VideoFrameType parsed;
    RETURN_IF_FAILED(ParseVideoType(*in, true, &parsed));
    return AcceptedInput(parsed.frame) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// RGB24 of the input's width and height, either row order, any stride.
HRESULT CEffectFilter::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    VideoFrameType input, output;
    RETURN_IF_FAILED(ParseVideoType(*in, true, &input));
    RETURN_IF_FAILED(ParseVideoType(*out, true, &output));
    const bool same_size = output.layout.width == input.layout.width && output.layout.height == input.layout.height;
    return output.frame.format == pixel_formats::PixelFormat::kRgb24 && same_size && AcceptedInput(input.frame)
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CEffectFilter::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    VideoFrameType input;
    RETURN_IF_FAILED(ParseVideoType(m_pInput->CurrentMediaType(), true, &input));
    return video_media::BuildVideoType(input, pixel_formats::PixelFormat::kRgb24, mt);
}

HRESULT CEffectFilter::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) {
    if (!mt) return E_POINTER;
    VideoFrameType parsed;
    RETURN_IF_FAILED(ParseVideoType(*mt, true, &parsed));
    (dir == PINDIR_INPUT ? m_in : m_out) = parsed;
    return S_OK;
}

HRESULT CEffectFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    if (!m_pOutput || !m_pOutput->IsConnected()) return E_UNEXPECTED;
    props->cbBuffer = std::max(props->cbBuffer, static_cast<long>(m_out.layout.size));
    props->cBuffers = std::max(props->cBuffers, 1L);
    props->cbAlign = std::max(props->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= props->cbBuffer ? S_OK : E_FAIL;
}

HRESULT CEffectFilter::StartStreaming() {
    m_lastTime = 0;
    return S_OK;
}

// The sample's start time; a sample without one follows the last by a frame.
effects::SampleTime CEffectFilter::FrameTime(IMediaSample* in) {
    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(in->GetTime(&start, &stop))) {
        m_lastTime = start;
    } else {
        m_lastTime += m_in.avgTimePerFrame > 0 ? m_in.avgTimePerFrame : effects::kSecond / 30;
    }
    return m_lastTime;
}

HRESULT CEffectFilter::Transform(IMediaSample* in, IMediaSample* out) {
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    RETURN_IF_FAILED(in->GetPointer(&src));
    RETURN_IF_FAILED(out->GetPointer(&dst));
    effects::ConstFrameView view;
    const long length = in->GetActualDataLength();
    // A frame shorter than its type, or of a size the output was not made
    // for (a type change upstream without reconnection): dropped, never read past.
    if (length <= 0 || !m_input.View(src, static_cast<size_t>(length), m_in.frame, &view)) return S_FALSE;
    if (view.width != m_out.layout.width || view.height != m_out.layout.height) return S_FALSE;
    if (static_cast<size_t>(out->GetSize()) < m_out.layout.size) return S_FALSE;
    const effects::FrameView target = effects::Rgb24View(dst, m_out.frame.width, m_out.frame.height, m_out.layout.planes[0].stride);
    const effects::SampleTime time = FrameTime(in);
    if (const std::shared_ptr<Decoration> decoration = m_decoration.Get()) {
        decoration->Render(view, target, time);
    } else {
        for (int y = 0; y < view.height; ++y) std::memcpy(target.Row(y), view.Row(y), static_cast<size_t>(view.width) * 3);
    }
    return out->SetActualDataLength(static_cast<long>(m_out.layout.size));
}

}  // namespace effect_filter
