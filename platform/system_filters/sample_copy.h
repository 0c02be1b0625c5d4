// Copies one media sample into another: payload and every property a
// downstream filter reads (times, flags, attached media type).
#pragma once

#include <windows.h>
#include <dshow.h>

namespace system_filters {

// VFW_E_BUFFER_OVERFLOW, with nothing written, when dst is smaller than src's
// payload.
HRESULT CopySample(IMediaSample* src, IMediaSample* dst);

}  // namespace system_filters
