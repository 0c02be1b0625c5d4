// Capture sizes through the capture pin's IAMStreamConfig: the sizes a device
// offers for its current subtype, and its current format for a size change.
// Shared by the capture engine and the virtual webcam engine. Both work only
// while the capture filter's output is connected.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "capture_engine/media_type_holder.h"
#include "capture_engine/video_size_record.h"
#include "dshow_base/com_ptr.h"

namespace video_size_routines {

// Lists into sizes[0..capacity) the width and height of every capability
// entry of the current major type and subtype with a VIDEOINFOHEADER, in the
// device's order, repeats kept; *currentIndex is the first entry equal to the
// current format (0 when none). A device whose capability records are not
// VIDEO_STREAM_CONFIG_CAPS gives an empty list and S_OK.
HRESULT ListVideoSizes(IBaseFilter* capture, int* count, int* currentIndex, tag_VideoSize* sizes, int capacity);
// The same for the video entries of one fixed subtype, whatever the current
// format is (the virtual webcam engine lists its RGB24 sizes).
HRESULT ListVideoSizesOf(IBaseFilter* capture, REFGUID subtype, int* count, int* currentIndex, tag_VideoSize* sizes,
                         int capacity);

// The stream configuration of the capture filter's connected output and its
// current format, for a caller that changes and sets it.
HRESULT CurrentCaptureFormat(IBaseFilter* capture, ComPtr<IAMStreamConfig>* config, MediaTypeHolder* format);

}  // namespace video_size_routines
