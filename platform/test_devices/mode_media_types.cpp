#include "test_devices/mode_media_types.h"

#include <dshow.h>
#include <amvideo.h>

#include "dshow_base/video_media_type.h"

namespace test_devices {

HRESULT MakeVideoType(const VideoMode& mode, REFERENCE_TIME interval, CMediaType* type) {
    video_media::VideoFrameType like;
    like.frame = {mode.format, mode.width, mode.height};
    if (!pixel_formats::ComputeFrameLayout(like.frame, &like.layout)) return E_UNEXPECTED;
    like.avgTimePerFrame = interval;
    return video_media::BuildVideoType(like, mode.format, type);
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
        if (IsEqualGUID(type.subtype, video_media::SubtypeOf(m.format)) && bmi.biWidth == m.width &&
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
