#include "system_filters/avi_header.h"

#include <algorithm>

namespace avi {
namespace {

uint32_t Clamp32(uint64_t v) { return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v); }

const StreamInfo* FirstVideo(const std::vector<StreamInfo>& streams, size_t* index) {
    for (size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].kind == StreamKind::kVideo) {
            *index = i;
            return &streams[i];
        }
    }
    return nullptr;
}

// Bytes per second at most: the largest frame at the frame rate, or the audio rate.
uint64_t PeakBytesPerSecond(const StreamInfo& info, const StreamTotals& totals) {
    if (info.kind == StreamKind::kAudio) {
        AudioFields audio;
        ReadAudioFields(info.format, &audio);
        return audio.avgBytesPerSec;
    }
    const Rate rate = StreamRate(info, totals);
    return static_cast<uint64_t>(totals.largestChunk) * rate.rate / rate.scale;
}

void WriteMainHeader(ByteBuffer& out, const std::vector<StreamInfo>& streams,
                     const std::vector<StreamTotals>& totals) {
    size_t videoIndex = 0;
    const StreamInfo* video = FirstVideo(streams, &videoIndex);
    VideoFields fields;
    uint32_t microSecPerFrame = 0;
    uint32_t totalFrames = totals.empty() ? 0 : totals[0].chunks;
    if (video) {
        ReadVideoFields(video->format, &fields);
        const Rate rate = StreamRate(*video, totals[videoIndex]);
        microSecPerFrame = Clamp32((static_cast<uint64_t>(rate.scale) * 1000000 + rate.rate / 2) / rate.rate);
        totalFrames = totals[videoIndex].chunks;
    }
    uint64_t peak = 0;
    uint32_t largest = 0;
    for (size_t i = 0; i < streams.size(); ++i) {
        peak += PeakBytesPerSecond(streams[i], totals[i]);
        largest = std::max(largest, totals[i].largestChunk);
    }
    out.Code(kAvih);
    out.U32(kMainHeaderSize);
    out.U32(microSecPerFrame);
    out.U32(Clamp32(peak));
    out.U32(0);  // padding granularity
    out.U32(kAvifHasIndex | (streams.size() > 1 ? kAvifIsInterleaved : 0));
    out.U32(totalFrames);
    out.U32(0);  // initial frames
    out.U32(static_cast<uint32_t>(streams.size()));
    out.U32(largest ? largest + 8 : 0);  // a chunk with its header fits the suggested buffer
    out.U32(static_cast<uint32_t>(fields.width));
    out.U32(static_cast<uint32_t>(fields.height < 0 ? -fields.height : fields.height));
    for (int i = 0; i < 4; ++i) out.U32(0);  // reserved
}

void WriteStreamHeader(ByteBuffer& out, const StreamInfo& info, const StreamTotals& totals) {
    const bool isVideo = info.kind == StreamKind::kVideo;
    const Rate rate = StreamRate(info, totals);
    VideoFields video;
    AudioFields audio;
    uint32_t handler = 0;
    uint32_t length = totals.chunks;
    uint32_t sampleSize = 0;
    if (isVideo) {
        ReadVideoFields(info.format, &video);
        handler = video.compression > 3 ? video.compression : kDib;  // BI_RGB..BI_BITFIELDS are plain DIBs
    } else {
        ReadAudioFields(info.format, &audio);
        length = Clamp32(totals.bytes / audio.blockAlign);
        sampleSize = audio.blockAlign;
    }
    out.Code(kStrh);
    out.U32(kStreamHeaderSize);
    out.Code(isVideo ? kVids : kAuds);
    out.Code(handler);
    out.U32(0);  // flags
    out.U16(0);  // priority
    out.U16(0);  // language
    out.U32(0);  // initial frames
    out.U32(rate.scale);
    out.U32(rate.rate);
    out.U32(0);  // start
    out.U32(length);
    out.U32(totals.largestChunk);
    out.U32(UINT32_MAX);  // quality: default
    out.U32(sampleSize);
    const int32_t height = video.height < 0 ? -video.height : video.height;
    out.U16(0);
    out.U16(0);
    out.U16(static_cast<uint16_t>(isVideo ? video.width : 0));
    out.U16(static_cast<uint16_t>(isVideo ? height : 0));
}

void WriteStreamList(ByteBuffer& out, const StreamInfo& info, const StreamTotals& totals) {
    out.Code(kList);
    const size_t sizeAt = out.Reserve32();
    out.Code(kStrl);
    WriteStreamHeader(out, info, totals);
    out.Code(kStrf);
    out.U32(static_cast<uint32_t>(info.format.size()));
    out.Bytes(info.format);
    out.PadToEven();
    if (!info.name.empty()) {
        out.Code(kStrn);
        out.U32(static_cast<uint32_t>(info.name.size() + 1));
        out.Bytes(reinterpret_cast<const uint8_t*>(info.name.c_str()), info.name.size() + 1);
        out.PadToEven();
    }
    out.Patch32(sizeAt, static_cast<uint32_t>(out.Size() - sizeAt - 4));
}

}  // namespace

Rate StreamRate(const StreamInfo& info, const StreamTotals& totals) {
    if (info.kind == StreamKind::kVideo) {
        return RateForFrameDuration(ChooseFrameDuration(info.frameDuration, totals.timing));
    }
    AudioFields audio;
    if (!ReadAudioFields(info.format, &audio)) return {};
    return {audio.blockAlign, audio.avgBytesPerSec};
}

std::vector<uint8_t> BuildHeader(const std::vector<StreamInfo>& streams, const std::vector<StreamTotals>& totals,
                                 uint64_t fileSize, uint64_t moviEnd) {
    ByteBuffer out;
    out.Code(kRiff);
    out.U32(Clamp32(fileSize - 8));
    out.Code(kAviForm);
    out.Code(kList);
    const size_t hdrlSizeAt = out.Reserve32();
    out.Code(kHdrl);
    WriteMainHeader(out, streams, totals);
    for (size_t i = 0; i < streams.size(); ++i) WriteStreamList(out, streams[i], totals[i]);
    out.Patch32(hdrlSizeAt, static_cast<uint32_t>(out.Size() - hdrlSizeAt - 4));
    out.Code(kList);
    const size_t moviSizeAt = out.Reserve32();
    out.Code(kMovi);
    // The list's size counts 'movi' and every chunk after it.
    out.Patch32(moviSizeAt, Clamp32(moviEnd - moviSizeAt - 4));
    return out.Take();
}

}  // namespace avi
