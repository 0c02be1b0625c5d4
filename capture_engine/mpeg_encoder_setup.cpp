#include "capture_engine/mpeg_encoder_setup.h"

#include <algorithm>

#include "dshow_base/com_ptr.h"
#include "filters/mpeg/mpeg_filters_api.h"

namespace mpeg_encoder_setup {
namespace {

constexpr int kLargestQualityField = mpeg_filters::kQualityMask >> mpeg_filters::kQualityShift;

HRESULT WriteSettings(IEncoderSettings* settings, int quality) {
    BYTE block[mpeg_filters::kSettingsBlockSize] = {};
    RETURN_IF_FAILED(settings->GetSettings(block));
    BYTE& flags = block[mpeg_filters::kQualityByteOffset];
    const int field = std::clamp(quality, 0, kLargestQualityField);
    flags = static_cast<BYTE>((flags & ~mpeg_filters::kQualityMask) | (field << mpeg_filters::kQualityShift));
    RETURN_IF_FAILED(settings->SetGroupStructure(1, 1, 0));
    return settings->SetSettings(block);
}

}  // namespace

HRESULT ConfigureEncoder(IBaseFilter* encoder, int quality) {
    if (!encoder) return E_POINTER;
    ComPtr<IEncoderSettings> settings;
    RETURN_IF_FAILED(encoder->QueryInterface(IID_IEncoderSettings, settings.PutVoid()));
    RETURN_IF_FAILED(WriteSettings(settings.Get(), quality));
    ComPtr<IEncoderParams> params;
    RETURN_IF_FAILED(encoder->QueryInterface(IID_IEncoderParams, params.PutVoid()));
    // Keeps the encoder repeating pictures where capture lost frames, so the
    // file plays at the camera's rate.
    return params->SetParam(kEncoderParamFillDropped, 1);
}

}  // namespace mpeg_encoder_setup
