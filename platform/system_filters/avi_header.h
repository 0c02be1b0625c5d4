// The front of an AVI file: RIFF 'AVI ', the 'hdrl' list (main header and
// one 'strl' per stream) and the opening of the 'movi' list. Its size
// depends only on the streams, so the final header overwrites the first one
// in place.
#pragma once

#include <cstdint>
#include <vector>

#include "system_filters/avi_rate.h"
#include "system_filters/avi_stream_info.h"

namespace avi {

// What has been written of one stream so far.
struct StreamTotals {
    uint32_t chunks = 0;
    uint64_t bytes = 0;
    uint32_t largestChunk = 0;
    FrameTiming timing;  // video only
};

// AVIMAINHEADER and AVISTREAMHEADER flags the writer uses.
constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAvifIsInterleaved = 0x100;
constexpr uint32_t kAviifKeyframe = 0x10;

constexpr FourCC kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr FourCC kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr FourCC kAviForm = MakeFourCC('A', 'V', 'I', ' ');
constexpr FourCC kHdrl = MakeFourCC('h', 'd', 'r', 'l');
constexpr FourCC kAvih = MakeFourCC('a', 'v', 'i', 'h');
constexpr FourCC kStrl = MakeFourCC('s', 't', 'r', 'l');
constexpr FourCC kStrh = MakeFourCC('s', 't', 'r', 'h');
constexpr FourCC kStrf = MakeFourCC('s', 't', 'r', 'f');
constexpr FourCC kStrn = MakeFourCC('s', 't', 'r', 'n');
constexpr FourCC kMovi = MakeFourCC('m', 'o', 'v', 'i');
constexpr FourCC kIdx1 = MakeFourCC('i', 'd', 'x', '1');
constexpr FourCC kVids = MakeFourCC('v', 'i', 'd', 's');
constexpr FourCC kAuds = MakeFourCC('a', 'u', 'd', 's');
constexpr FourCC kDib = MakeFourCC('D', 'I', 'B', ' ');

constexpr uint32_t kMainHeaderSize = 56;
constexpr uint32_t kStreamHeaderSize = 56;

// The per-stream rate the header states: frames for video, blocks for audio.
Rate StreamRate(const StreamInfo& info, const StreamTotals& totals);

// fileSize: where the file ends (RIFF size = fileSize - 8); moviEnd: where the
// last chunk ends. The result ends with "LIST <size> movi", so the first
// chunk goes right after it.
std::vector<uint8_t> BuildHeader(const std::vector<StreamInfo>& streams, const std::vector<StreamTotals>& totals,
                                 uint64_t fileSize, uint64_t moviEnd);

}  // namespace avi
