// IEffectControl: each call makes its decoration whole (files read and
// decoded here, on the caller's thread, without a lock) and only then swaps it in.
#include <memory>
#include <new>
#include <vector>

#include "filters/effect/effect_filter.h"
#include "filters/effect/frame_file_read.h"
#include "filters/effect/frame_request.h"

namespace effect_filter {
namespace {

// Decoder refusals as results: too large is out of memory, the rest bad data.
HRESULT DecodeResult(frame_files::DecodeError error) {
    switch (error) {
        case frame_files::DecodeError::None: return S_OK;
        case frame_files::DecodeError::TooLarge: return E_OUTOFMEMORY;
        case frame_files::DecodeError::Unsupported:
        case frame_files::DecodeError::NothingDrawable: return VFW_E_UNSUPPORTED_VIDEO;
        default: return VFW_E_INVALID_FILE_FORMAT;
    }
}

}  // namespace

STDMETHODIMP CEffectFilter::SetEffectType(int code) {
    std::shared_ptr<Decoration> next;
    try {
        next = MakeEffectDecoration(code);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!next) {
        TraceFailure("SetEffectType: code outside 0..21", E_INVALIDARG);
        return E_INVALIDARG;
    }
    m_decoration.Set(std::move(next));
    return S_OK;
}

STDMETHODIMP CEffectFilter::GetEffectType(int* code) {
    if (!code) return E_POINTER;
    const std::shared_ptr<Decoration> current = m_decoration.Get();
    *code = current ? current->code() : 0;
    return S_OK;
}

HRESULT CEffectFilter::SetFrameFile(const wchar_t* file, int speed, int plays, const char* call) {
    FramePlay play;
    if (!file) return E_POINTER;
    if (!ReadFramePlay(speed, plays, &play)) return E_INVALIDARG;
    try {
        std::vector<uint8_t> bytes;
        HRESULT hr = ReadFrameFile(file, &bytes);
        std::shared_ptr<const frame_files::FrameAnimation> animation;
        if (SUCCEEDED(hr)) hr = DecodeResult(DecodeForDecoration(bytes, &animation));
        std::shared_ptr<Decoration> next;
        if (SUCCEEDED(hr)) next = MakeFrameDecoration(std::move(animation), play);
        if (SUCCEEDED(hr) && !next) hr = E_FAIL;
        if (FAILED(hr)) {
            TraceFailure(call, hr);
            return hr;
        }
        m_decoration.Set(std::move(next));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CEffectFilter::SetStaticFrame(const wchar_t* file, int speed, int plays) {
    return SetFrameFile(file, speed, plays, "SetStaticFrame");
}

STDMETHODIMP CEffectFilter::SetGifFrame(const wchar_t* file, int speed, int plays) {
    return SetFrameFile(file, speed, plays, "SetGifFrame");
}

STDMETHODIMP CEffectFilter::SetFlashFrame(const wchar_t* file, int speed, int plays) {
    return SetFrameFile(file, speed, plays, "SetFlashFrame");
}

STDMETHODIMP CEffectFilter::GetFirstFrame(const wchar_t* file, int width, int height, BYTE* buffer, int red, int green,
                                          int blue) {
    if (!file || !buffer) return E_POINTER;
    if (!UsableFirstFrameRequest(width, height, buffer, red, green, blue)) return E_INVALIDARG;
    try {
        std::vector<uint8_t> bytes;
        HRESULT hr = ReadFrameFile(file, &bytes);
        if (SUCCEEDED(hr)) hr = DecodeResult(RenderThumbnail(bytes, width, height, buffer, red, green, blue));
        if (FAILED(hr)) TraceFailure("GetFirstFrame", hr);
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace effect_filter
