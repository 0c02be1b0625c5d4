// IEncoderSettings and IEncoderParams of the MPEG video encoder: all under the
// filter lock, read by StartStreaming when the next stream begins.
#include <algorithm>
#include <cstring>

#include "media/mpeg1/video/rate_control.h"
#include "media/mpeg1/video/stream_headers.h"
#include "media/mpeg1/video/video_tables.h"
#include "filters/mpeg/video_encoder_filter.h"

namespace mpeg_filters {
namespace {
bool ValidQuality(int q) { return q >= kMinQuality && q <= kMaxQuality; }
bool ValidGop(int n) { return n >= kMinGopLength && n <= kMaxGopLength; }
}  // namespace

STDMETHODIMP CMpegVideoEncoder::GetSettingsSize(DWORD* bytes) {
    if (!bytes) return E_POINTER;
    *bytes = kSettingsBlockSize;
    return S_OK;
}

STDMETHODIMP CMpegVideoEncoder::GetQuality(int* quality) { return GetParam(kEncoderParamQuality, quality); }

STDMETHODIMP CMpegVideoEncoder::SetQuality(int quality) { return SetParam(kEncoderParamQuality, quality); }

STDMETHODIMP CMpegVideoEncoder::GetGopLength(int* pictures) { return GetParam(kEncoderParamGopLength, pictures); }

STDMETHODIMP CMpegVideoEncoder::SetGopLength(int pictures) { return SetParam(kEncoderParamGopLength, pictures); }

STDMETHODIMP CMpegVideoEncoder::SetGroupStructure(int closedGroups, int anchorDistance, int bPictures) {
    return closedGroups == 1 && anchorDistance == 1 && bPictures == 0 ? S_OK : E_INVALIDARG;
}

STDMETHODIMP CMpegVideoEncoder::GetGroupStructure(int* closedGroups, int* anchorDistance, int* bPictures) {
    if (!closedGroups || !anchorDistance || !bPictures) return E_POINTER;
    *closedGroups = 1;
    *anchorDistance = 1;
    *bPictures = 0;
    return S_OK;
}

STDMETHODIMP CMpegVideoEncoder::GetPictureSize(int* width, int* height) {
    if (!width || !height) return E_POINTER;
    CAutoLock lock(&m_csFilter);
    if (!m_pInput || !m_pInput->IsConnected() || !inputParsed_) return VFW_E_NOT_CONNECTED;
    *width = input_.frame.width;
    *height = std::abs(input_.frame.height);
    return S_OK;
}

STDMETHODIMP CMpegVideoEncoder::GetBitRate(int* bitsPerSecond) {
    if (!bitsPerSecond) return E_POINTER;
    CAutoLock lock(&m_csFilter);
    if (!m_pInput || !m_pInput->IsConnected() || !inputParsed_) return VFW_E_NOT_CONNECTED;
    const int code = mpeg::video::NearestPictureRateCode(FrameDuration());
    mpeg::video::RateControl rate;
    rate.Configure(settings_.quality, input_.frame.width, std::abs(input_.frame.height),
                   mpeg::video::kPictureRates[code]);
    *bitsPerSecond = rate.bit_rate();
    return S_OK;
}

STDMETHODIMP CMpegVideoEncoder::GetSettings(BYTE* block) {
    if (!block) return E_POINTER;
    CAutoLock lock(&m_csFilter);
    StoreSettings(settings_, &block_);
    std::memcpy(block, block_.data(), block_.size());
    return S_OK;
}

STDMETHODIMP CMpegVideoEncoder::SetSettings(const BYTE* block) {
    if (!block) return E_POINTER;
    SettingsBlock given;
    std::memcpy(given.data(), block, given.size());
    CAutoLock lock(&m_csFilter);
    EncoderSettings loaded = settings_;
    if (LoadSettings(given, &loaded) != BlockProblem::kNone) return E_INVALIDARG;
    settings_ = loaded;
    block_ = given;  // the host's own bytes come back with the next GetSettings
    return S_OK;
}

STDMETHODIMP CMpegVideoEncoder::GetParam(int param, int* value) {
    if (!value) return E_POINTER;
    CAutoLock lock(&m_csFilter);
    switch (param) {
    case kEncoderParamQuality:
        *value = settings_.quality;
        return S_OK;
    case kEncoderParamGopLength:
        *value = settings_.gop_length;
        return S_OK;
    case kEncoderParamFillDropped:
        *value = settings_.fill_dropped ? 1 : 0;
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

STDMETHODIMP CMpegVideoEncoder::SetParam(int param, int value) {
    CAutoLock lock(&m_csFilter);
    switch (param) {
    case kEncoderParamQuality:
        if (!ValidQuality(value)) return E_INVALIDARG;
        settings_.quality = value;
        return S_OK;
    case kEncoderParamGopLength:
        if (!ValidGop(value)) return E_INVALIDARG;
        settings_.gop_length = value;
        return S_OK;
    case kEncoderParamFillDropped:
        if (value != 0 && value != 1) return E_INVALIDARG;
        settings_.fill_dropped = value == 1;
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

}  // namespace mpeg_filters
