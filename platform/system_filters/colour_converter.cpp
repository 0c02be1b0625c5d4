#include "system_filters/colour_converter.h"

#include <algorithm>
#include <new>

#include "pixel_formats/convert_frame.h"

namespace system_filters {

using video_media::BuildVideoType;
using video_media::kConverterFormatCount;
using video_media::kConverterFormats;
using video_media::ParseVideoType;
using video_media::VideoFrameType;

namespace {

bool SamePictureSize(const VideoFrameType& a, const VideoFrameType& b) {
    return a.layout.width == b.layout.width && a.layout.height == b.layout.height;
}

}  // namespace

CColourConverter::CColourConverter(LPUNKNOWN outer)
    : CTransformFilter(L"Color Space Converter", outer, CLSID_Colour) {}

CUnknown* WINAPI CColourConverter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CColourConverter(outer);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

HRESULT CColourConverter::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    VideoFrameType parsed;
    return ParseVideoType(*in, true, &parsed);
}

HRESULT CColourConverter::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    VideoFrameType from, to;
    RETURN_IF_FAILED(ParseVideoType(*in, true, &from));
    RETURN_IF_FAILED(ParseVideoType(*out, false, &to));
    return SamePictureSize(from, to) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CColourConverter::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    if (position >= kConverterFormatCount) return VFW_S_NO_MORE_ITEMS;
    VideoFrameType in;
    RETURN_IF_FAILED(ParseVideoType(m_pInput->CurrentMediaType(), true, &in));
    return BuildVideoType(in, kConverterFormats[position], mt);
}

HRESULT CColourConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (!allocator || !request) return E_POINTER;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    VideoFrameType out;
    RETURN_IF_FAILED(ParseVideoType(m_pOutput->CurrentMediaType(), false, &out));
    const long frameSize = static_cast<long>(out.layout.size);
    request->cBuffers = std::max(request->cBuffers, 1L);
    request->cbBuffer = std::max(request->cbBuffer, frameSize);
    request->cbAlign = std::max(request->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(request, &actual));
    return actual.cbBuffer >= frameSize ? S_OK : E_FAIL;
}

HRESULT CColourConverter::SetMediaType(PIN_DIRECTION direction, const CMediaType* mt) {
    if (!mt) return E_POINTER;
    const bool input = direction == PINDIR_INPUT;
    return ParseVideoType(*mt, input, input ? &input_ : &output_);
}

HRESULT CColourConverter::AdoptInputTypeChange() {
    const AM_SAMPLE2_PROPERTIES* props = m_pInput->SampleProps();
    if (!(props->dwSampleFlags & AM_SAMPLE_TYPECHANGED) || !props->pMediaType) return S_OK;
    const CMediaType type(*props->pMediaType);
    if (type == m_pInput->CurrentMediaType()) return S_OK;
    VideoFrameType parsed;
    if (FAILED(ParseVideoType(type, true, &parsed)) || !SamePictureSize(parsed, output_)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    // The pin calls back into SetMediaType above, which updates input_.
    return m_pInput->SetMediaType(&type);
}

HRESULT CColourConverter::InitializeOutputSample(IMediaSample* in, IMediaSample** out) {
    // The base would copy an input type change onto the output sample, but
    // our output format does not follow the input's.
    AM_SAMPLE2_PROPERTIES* props = m_pInput->SampleProps();
    const DWORD flags = props->dwSampleFlags;
    props->dwSampleFlags &= ~AM_SAMPLE_TYPECHANGED;
    const HRESULT hr = CTransformFilter::InitializeOutputSample(in, out);
    props->dwSampleFlags = flags;
    return hr;
}

HRESULT CColourConverter::Transform(IMediaSample* in, IMediaSample* out) {
    if (!in || !out) return E_POINTER;
    RETURN_IF_FAILED(AdoptInputTypeChange());
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    RETURN_IF_FAILED(in->GetPointer(&src));
    RETURN_IF_FAILED(out->GetPointer(&dst));
    const long have = in->GetActualDataLength();
    const long room = out->GetSize();
    // A short frame is upstream's fault and is dropped; a small output
    // buffer means the allocator disagrees with the type, which is ours.
    if (have < 0 || static_cast<size_t>(have) < input_.layout.size) return S_FALSE;
    if (room < 0 || static_cast<size_t>(room) < output_.layout.size) return VFW_E_BUFFER_OVERFLOW;
    if (!pixel_formats::ConvertFrame(src, static_cast<size_t>(have), input_.frame, dst,
                                     static_cast<size_t>(room), output_.frame)) {
        return E_UNEXPECTED;
    }
    return out->SetActualDataLength(static_cast<long>(output_.layout.size));
}

}  // namespace system_filters
