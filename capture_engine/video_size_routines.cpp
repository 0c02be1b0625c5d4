#include "capture_engine/video_size_routines.h"

#include "capture_engine/graph_routines.h"

// The capability records devices fill are 128 bytes in 32- and 64-bit builds.
static_assert(sizeof(VIDEO_STREAM_CONFIG_CAPS) == 128, "capability record size");

namespace video_size_routines {
namespace {

bool SameSize(const VIDEOINFOHEADER& info, const tag_VideoSize& size) {
    return info.bmiHeader.biWidth == size.width && info.bmiHeader.biHeight == size.height;
}

// Appends the sizes of the capability entries that match `current`.
void CollectSizes(IAMStreamConfig* config, int entries, const AM_MEDIA_TYPE& current, int* count,
                  tag_VideoSize* sizes, int capacity) {
    for (int i = 0; i < entries && *count < capacity; ++i) {
        VIDEO_STREAM_CONFIG_CAPS caps;
        MediaTypeHolder type;
        if (FAILED(config->GetStreamCaps(i, type.Put(), reinterpret_cast<BYTE*>(&caps))) || !type.Get()) continue;
        if (type->majortype != current.majortype || type->subtype != current.subtype) continue;
        const VIDEOINFOHEADER* info = type.VideoInfo();
        if (!info) continue;
        sizes[*count] = {int(info->bmiHeader.biWidth), int(info->bmiHeader.biHeight)};
        ++*count;
    }
}

}  // namespace

HRESULT CurrentCaptureFormat(IBaseFilter* capture, ComPtr<IAMStreamConfig>* config, MediaTypeHolder* format) {
    ComPtr<IPin> pin;
    RETURN_IF_FAILED(graph_routines::FindConnectedOutputPin(capture, &pin));
    RETURN_IF_FAILED(pin.As(config));
    RETURN_IF_FAILED((*config)->GetFormat(format->Put()));
    return format->Get() ? S_OK : E_UNEXPECTED;
}

HRESULT ListVideoSizes(IBaseFilter* capture, int* count, int* currentIndex, tag_VideoSize* sizes, int capacity) {
    if (!count || !currentIndex || !sizes) return E_POINTER;
    *count = 0;
    *currentIndex = 0;
    ComPtr<IAMStreamConfig> config;
    MediaTypeHolder current;
    RETURN_IF_FAILED(CurrentCaptureFormat(capture, &config, &current));
    int entries = 0, recordSize = 0;
    RETURN_IF_FAILED(config->GetNumberOfCapabilities(&entries, &recordSize));
    // Only a record of this size can be read safely into the caps structure.
    if (recordSize == sizeof(VIDEO_STREAM_CONFIG_CAPS))
        CollectSizes(config.Get(), entries, *current.Get(), count, sizes, capacity);

    MediaTypeHolder now;
    RETURN_IF_FAILED(config->GetFormat(now.Put()));
    if (const VIDEOINFOHEADER* info = now.VideoInfo()) {
        for (int i = 0; i < *count; ++i) {
            if (SameSize(*info, sizes[i])) {
                *currentIndex = i;
                break;
            }
        }
    }
    return S_OK;
}

}  // namespace video_size_routines
