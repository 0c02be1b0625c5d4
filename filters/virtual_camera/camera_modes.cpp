#include "filters/virtual_camera/camera_modes.h"

#include <dvdmedia.h>

#include "dshow_base/video_media_type.h"

namespace virtual_camera {

namespace {

using pixel_formats::PixelFormat;

constexpr CameraMode kModes[] = {
    {PixelFormat::kRgb24, 640, 480},  {PixelFormat::kRgb24, 320, 240}, {PixelFormat::kRgb24, 160, 120},
    {PixelFormat::kRgb24, 1280, 720}, {PixelFormat::kYuy2, 640, 480},  {PixelFormat::kYuy2, 320, 240},
    {PixelFormat::kYuy2, 160, 120},   {PixelFormat::kYuy2, 1280, 720}, {PixelFormat::kI420, 640, 480},
    {PixelFormat::kI420, 320, 240},   {PixelFormat::kI420, 160, 120},  {PixelFormat::kI420, 1280, 720},
};
constexpr int kModeCount = sizeof(kModes) / sizeof(kModes[0]);

}  // namespace

int ModeCount() { return kModeCount; }
const CameraMode& ModeAt(int index) { return kModes[index]; }
int DefaultMode() { return 0; }

HRESULT MakeModeType(const CameraMode& mode, REFERENCE_TIME interval, CMediaType* type) {
    video_media::VideoFrameType like;
    like.frame = {mode.format, mode.width, mode.height};
    if (!pixel_formats::ComputeFrameLayout(like.frame, &like.layout)) return E_UNEXPECTED;
    like.avgTimePerFrame = interval;
    return video_media::BuildVideoType(like, mode.format, type);
}

VIDEO_STREAM_CONFIG_CAPS ModeCaps(const CameraMode& mode) {
    VIDEO_STREAM_CONFIG_CAPS caps{};
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = AnalogVideo_None;
    caps.InputSize = caps.MinCroppingSize = caps.MaxCroppingSize = {mode.width, mode.height};
    caps.CropGranularityX = caps.CropGranularityY = 1;
    caps.CropAlignX = caps.CropAlignY = 1;
    caps.MinOutputSize = caps.MaxOutputSize = {mode.width, mode.height};
    caps.OutputGranularityX = caps.OutputGranularityY = 0;
    caps.MinFrameInterval = kDefaultInterval;
    caps.MaxFrameInterval = kLongestInterval;
    const LONG bits = static_cast<LONG>(pixel_formats::FrameSize(mode.format, mode.width, mode.height) * 8);
    caps.MinBitsPerSecond = bits;
    caps.MaxBitsPerSecond = bits * 30;
    return caps;
}

int FindMode(const AM_MEDIA_TYPE& type, REFERENCE_TIME* interval) {
    if (type.majortype != MEDIATYPE_Video || type.formattype != FORMAT_VideoInfo) return -1;
    video_media::VideoFrameType parsed;
    if (FAILED(video_media::ParseVideoType(type, false, &parsed))) return -1;
    // Our frames are whole bitmaps of the default stride, RGB bottom-up.
    pixel_formats::FrameLayout plain;
    const pixel_formats::FrameFormat plain_format{parsed.frame.format, parsed.frame.width, parsed.layout.height};
    if (!pixel_formats::ComputeFrameLayout(plain_format, &plain) || plain.size != parsed.layout.size ||
        parsed.layout.bottom_up != plain.bottom_up) {
        return -1;
    }
    const REFERENCE_TIME asked = parsed.avgTimePerFrame;
    if (asked != 0 && (asked < kDefaultInterval - 100 || asked > kLongestInterval)) return -1;
    for (int i = 0; i < kModeCount; ++i) {
        if (kModes[i].format == parsed.frame.format && kModes[i].width == parsed.frame.width &&
            kModes[i].height == parsed.layout.height) {
            *interval = asked != 0 ? asked : kDefaultInterval;
            return i;
        }
    }
    return -1;
}

}  // namespace virtual_camera
