// Which media types an AVI Mux input takes, and the stream description the
// AVI writer gets from them.
#pragma once

#include "dshow_base/streams.h"
#include "system_filters/avi_stream_info.h"

namespace system_filters {

// Video with FORMAT_VideoInfo, or sound with FORMAT_WaveFormatEx, whose
// format block holds what the AVI headers need.
bool IsAviStreamType(const CMediaType& mt);

// Valid only for a type IsAviStreamType accepts.
avi::StreamInfo AviStreamSpec(const CMediaType& mt);

}  // namespace system_filters
