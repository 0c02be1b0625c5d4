#include "test_devices/video_media_type.h"

#include <dshow.h>
#include <amvideo.h>

namespace test_devices {

const GUID& VideoSubtype(PixelFormat format) {
    switch (format) {
        case PixelFormat::kYuy2: return MEDIASUBTYPE_YUY2;
        case PixelFormat::kI420: return kSubtypeI420;
        default: return MEDIASUBTYPE_RGB24;
    }
}

HRESULT MakeVideoType(const VideoMode& mode, REFERENCE_TIME interval, CMediaType* type) {
    type->InitMediaType();
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(type->AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    if (!vih) return E_OUTOFMEMORY;
    ZeroMemory(vih, sizeof(*vih));
    const DWORD frameBytes = FrameBytes(mode);
    vih->AvgTimePerFrame = interval;
    vih->dwBitRate = DWORD(ULONGLONG(frameBytes) * 8 * 10000000 / ULONGLONG(interval));
    BITMAPINFOHEADER& bmi = vih->bmiHeader;
    bmi.biSize = sizeof(BITMAPINFOHEADER);
    bmi.biWidth = mode.width;
    bmi.biHeight = mode.height;
    bmi.biPlanes = 1;
    bmi.biBitCount = WORD(pixel_formats::BitsPerPixel(mode.format));
    bmi.biCompression = Compression(mode.format);
    bmi.biSizeImage = frameBytes;
    type->SetType(&MEDIATYPE_Video);
    type->SetSubtype(&VideoSubtype(mode.format));
    type->SetFormatType(&FORMAT_VideoInfo);
    type->SetTemporalCompression(FALSE);
    type->SetSampleSize(frameBytes);
    return S_OK;
}

int FindVideoMode(const AM_MEDIA_TYPE& type, const std::vector<VideoMode>& modes,
                  REFERENCE_TIME* interval) {
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Video) ||
        !IsEqualGUID(type.formattype, FORMAT_VideoInfo) || !type.pbFormat ||
        type.cbFormat < sizeof(VIDEOINFOHEADER)) {
        return -1;
    }
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    const BITMAPINFOHEADER& bmi = vih->bmiHeader;
    const REFERENCE_TIME t = vih->AvgTimePerFrame;
    if (t != 0 && (t < kDefaultFrameInterval || t > kLongestFrameInterval)) return -1;
    for (size_t i = 0; i < modes.size(); ++i) {
        const VideoMode& m = modes[i];
        if (IsEqualGUID(type.subtype, VideoSubtype(m.format)) && bmi.biWidth == m.width &&
            bmi.biHeight == m.height && bmi.biCompression == Compression(m.format) &&
            bmi.biBitCount == pixel_formats::BitsPerPixel(m.format)) {
            *interval = t;
            return int(i);
        }
    }
    return -1;
}

VIDEO_STREAM_CONFIG_CAPS VideoCaps(const VideoMode& mode) {
    VIDEO_STREAM_CONFIG_CAPS caps;
    ZeroMemory(&caps, sizeof(caps));
    const SIZE size = {mode.width, mode.height};
    caps.guid = FORMAT_VideoInfo;
    caps.InputSize = size;
    caps.MinCroppingSize = size;
    caps.MaxCroppingSize = size;
    caps.CropGranularityX = 1;
    caps.CropGranularityY = 1;
    caps.CropAlignX = 1;
    caps.CropAlignY = 1;
    caps.MinOutputSize = size;
    caps.MaxOutputSize = size;
    caps.MinFrameInterval = kDefaultFrameInterval;
    caps.MaxFrameInterval = kLongestFrameInterval;
    const LONGLONG bitsPerFrame = LONGLONG(FrameBytes(mode)) * 8;
    caps.MinBitsPerSecond = LONG(bitsPerFrame * 10000000 / kLongestFrameInterval);
    caps.MaxBitsPerSecond = LONG(bitsPerFrame * 10000000 / kDefaultFrameInterval);
    return caps;
}

}  // namespace test_devices
