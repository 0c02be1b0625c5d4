// Media types and stream capabilities of the test camera's modes.
#pragma once

#include <windows.h>
#include <strmif.h>

#include <vector>

#include "dshow_base/media_type.h"
#include "test_devices/video_modes.h"

namespace test_devices {

// FORMAT_VideoInfo type of `mode` at `interval` (100 ns per frame), with
// biSizeImage, lSampleSize and the bit rate filled in.
HRESULT MakeVideoType(const VideoMode& mode, REFERENCE_TIME interval, CMediaType* type);

// Which of `modes` a media type describes (subtype, width, height, and the
// DIB fields that follow from them); -1 when none or when the type is not a
// FORMAT_VideoInfo video type. *interval gets AvgTimePerFrame, which a
// matching type has either 0 (any) or within the camera's frame rate range.
int FindVideoMode(const AM_MEDIA_TYPE& type, const std::vector<VideoMode>& modes,
                  REFERENCE_TIME* interval);

// The VIDEO_STREAM_CONFIG_CAPS of `mode`.
VIDEO_STREAM_CONFIG_CAPS VideoCaps(const VideoMode& mode);

}  // namespace test_devices
