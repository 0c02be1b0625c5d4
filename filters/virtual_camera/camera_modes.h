// The modes the virtual webcam offers, as media types and stream
// capabilities: four sizes in 24-bit RGB, YUY2 and I420, 1 to 30 frames a second.
#pragma once

#include <windows.h>
#include <strmif.h>

#include "dshow_base/media_type.h"
#include "pixel_formats/pixel_format.h"

namespace virtual_camera {

struct CameraMode {
    pixel_formats::PixelFormat format;
    int width;
    int height;
};

inline constexpr REFERENCE_TIME kDefaultInterval = 333333;   // 30 frames per second
inline constexpr REFERENCE_TIME kLongestInterval = 10000000;  // 1 frame per second

int ModeCount();
const CameraMode& ModeAt(int index);
// The mode a fresh device offers first.
int DefaultMode();

// FORMAT_VideoInfo type of a mode at `interval`.
HRESULT MakeModeType(const CameraMode& mode, REFERENCE_TIME interval, CMediaType* type);
VIDEO_STREAM_CONFIG_CAPS ModeCaps(const CameraMode& mode);
// Which mode a type describes, -1 for none; *interval gets its frame interval
// (0 in the type means the default).
int FindMode(const AM_MEDIA_TYPE& type, REFERENCE_TIME* interval);

}  // namespace virtual_camera
