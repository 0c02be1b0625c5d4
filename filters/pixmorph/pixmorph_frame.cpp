// CPixmorph::Transform: per frame, on the upstream streaming thread with the
// receive lock held.
#include <algorithm>

#include "filters/pixmorph/PixmorphFilter.h"
#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/pipeline_types.h"

HRESULT CPixmorph::Transform(IMediaSample* in, IMediaSample* out) {
    if (!in || !out) return E_POINTER;
    TakePendingInputType();
    FollowUpstreamSize(in);
    NoteInputSize();
    int outWidth = 0, outHeight = 0;
    const HRESULT converted = ConvertSample(in, out, &outWidth, &outHeight);
    if (converted != S_OK) return converted;
    RETURN_IF_FAILED(CopySampleProperties(in, out));
    return out->SetActualDataLength(outWidth * outHeight * 3);
}

// Upstream may have switched to another of the sizes its pin lists. Many
// pins list several sizes, so the list alone proves nothing: a listed size
// is taken only when this sample's length is that size's frame and not the
// current one's. (A type attached to the sample was already taken by the pin.)
void CPixmorph::FollowUpstreamSize(IMediaSample* in) {
    const CMediaType& current = m_pInput->CurrentMediaType();
    pixmorph::Picture now;
    if (!InputPicture(current, &now)) return;
    const long actual = in->GetActualDataLength();
    const size_t currentBytes = TypeFrameBytes(current);
    if (actual < 0 || static_cast<size_t>(actual) == currentBytes) return;
    IPin* upstream = m_pInput->GetConnected();
    ComPtr<IEnumMediaTypes> types;
    if (!upstream || FAILED(upstream->EnumMediaTypes(types.Put())) || !types) return;
    AM_MEDIA_TYPE* listed = nullptr;
    while (types->Next(1, &listed, nullptr) == S_OK && listed) {
        const CMediaType* candidate = static_cast<const CMediaType*>(listed);
        pixmorph::Picture size;
        const bool follow = candidate->subtype == current.subtype && InputPicture(*candidate, &size) &&
                            (size.width != now.width || size.height != now.height) &&
                            pixmorph::LengthConfirmsSize(actual, TypeFrameBytes(*candidate), currentBytes) &&
                            CheckInputType(candidate) == S_OK;
        if (follow) m_pInput->SetMediaType(candidate);
        DeleteMediaType(listed);
        listed = nullptr;
        if (follow) break;
    }
}

// One event per real change of the size frames are read at, whichever way
// the new size came (the list above, an attached type, DynamicQueryAccept).
void CPixmorph::NoteInputSize() {
    pixmorph::Picture now = {};
    if (!InputPicture(m_pInput->CurrentMediaType(), &now)) return;
    const bool changed = m_streamInput.width != now.width || m_streamInput.height != now.height;
    const bool known = m_streamInput.width != 0;
    m_streamInput = now;
    if (changed && known) NotifyEvent(EC_PIXMORPH_INPUT_RESIZED, 0, 0);
}

HRESULT CPixmorph::ConvertSample(IMediaSample* in, IMediaSample* out, int* outWidth, int* outHeight) {
    pixmorph::Picture input;
    const BITMAPINFOHEADER* outHeader = BitmapHeaderOf(m_pOutput->CurrentMediaType());
    if (!InputPicture(m_pInput->CurrentMediaType(), &input) || !outHeader) return E_UNEXPECTED;
    *outWidth = outHeader->biWidth;
    *outHeight = outHeader->biHeight;

    BYTE* source = nullptr;
    BYTE* target = nullptr;
    RETURN_IF_FAILED(in->GetPointer(&source));
    RETURN_IF_FAILED(out->GetPointer(&target));
    // Work buffers follow the input size; they never shrink while connected.
    const pixmorph::WorkSizes need = pixmorph::WorkNeeds(input);
    if (!m_yuy2Work.Reserve(need.yuy2) || !m_rgbWork.Reserve(need.rgb)) return E_OUTOFMEMORY;

    // Never read past the buffer, whatever length upstream claims.
    const long length = std::min(std::max(in->GetActualDataLength(), 0L), std::max(in->GetSize(), 0L));
    const pixmorph::FrameShape shape =
        pixmorph::ShapeForFrame(m_framePlan, input.width, input.height, *outWidth, *outHeight);
    const pixmorph::InputFrame frame{source, static_cast<size_t>(length), input.subtype, input.width,
                                     input.height};
    const pixmorph::WorkBuffers work{m_yuy2Work.data(), m_yuy2Work.capacity(), m_rgbWork.data(),
                                     m_rgbWork.capacity()};
    const pixmorph::OutputFrame output{target, static_cast<size_t>(std::max(out->GetSize(), 0L)), shape.mode,
                                       *outWidth, *outHeight, shape.multiple_x, shape.multiple_y};
    const pixmorph::Status status = pixmorph::ConvertFrame(frame, work, output);
    // Out of memory for a temporary row leaves a cleared frame, which goes
    // out; a frame that does not fit (too short, too large) is dropped.
    if (status != pixmorph::Status::kOk && status != pixmorph::Status::kNoMemory) return S_FALSE;
    return S_OK;
}

namespace {
// S_OK and S_FALSE are the only answers the flag getters may give.
bool FlagOf(HRESULT hr, BOOL* flag) {
    if (hr != S_OK && hr != S_FALSE) return false;
    *flag = hr == S_OK;
    return true;
}
}  // namespace

HRESULT CPixmorph::CopySampleProperties(IMediaSample* in, IMediaSample* out) {
    REFERENCE_TIME start = 0, stop = 0;
    if (in->GetTime(&start, &stop) == S_OK) out->SetTime(&start, &stop);
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (in->GetMediaTime(&mediaStart, &mediaStop) == S_OK) out->SetMediaTime(&mediaStart, &mediaStop);
    BOOL flag = FALSE;
    if (!FlagOf(in->IsSyncPoint(), &flag)) return E_UNEXPECTED;
    out->SetSyncPoint(flag);
    out->SetMediaType(&m_pOutput->CurrentMediaType());
    if (!FlagOf(in->IsPreroll(), &flag)) return E_UNEXPECTED;
    out->SetPreroll(flag);
    if (!FlagOf(in->IsDiscontinuity(), &flag)) return E_UNEXPECTED;
    // A frame dropped before this one makes it a discontinuity as well.
    out->SetDiscontinuity(flag || m_bSampleSkipped);
    return S_OK;
}
