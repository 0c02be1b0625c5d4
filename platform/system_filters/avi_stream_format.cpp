#include "system_filters/avi_stream_format.h"

namespace system_filters {
namespace {

bool IsVideo(const CMediaType& mt) {
    return mt.majortype == MEDIATYPE_Video && mt.formattype == FORMAT_VideoInfo && mt.pbFormat &&
           mt.cbFormat >= sizeof(VIDEOINFOHEADER);
}

bool IsAudio(const CMediaType& mt) {
    return mt.majortype == MEDIATYPE_Audio && mt.formattype == FORMAT_WaveFormatEx && mt.pbFormat &&
           mt.cbFormat >= avi::kPcmWaveFormatSize;
}

}  // namespace

bool IsAviStreamType(const CMediaType& mt) {
    return (IsVideo(mt) || IsAudio(mt)) && avi::IsValidSpec(AviStreamSpec(mt));
}

avi::StreamInfo AviStreamSpec(const CMediaType& mt) {
    avi::StreamInfo info;
    if (IsVideo(mt)) {
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        // strf holds the BITMAPINFOHEADER and whatever follows it in the block (masks, palette).
        const BYTE* begin = reinterpret_cast<const BYTE*>(&vih->bmiHeader);
        info.kind = avi::StreamKind::kVideo;
        info.format.assign(begin, static_cast<const BYTE*>(mt.pbFormat + mt.cbFormat));
        info.frameDuration = vih->AvgTimePerFrame;
    } else if (IsAudio(mt)) {
        info.kind = avi::StreamKind::kAudio;
        info.format.assign(mt.pbFormat, mt.pbFormat + mt.cbFormat);
    }
    return info;
}

}  // namespace system_filters
