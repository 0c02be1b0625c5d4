#include "system_filters/avi_writer_core.h"

#include <algorithm>
#include <utility>

#include "system_filters/riff_bytes.h"

namespace avi {

AviWriter::AviWriter(std::vector<StreamInfo> streams, ByteSink* sink, uint64_t fileLimit)
    : streams_(std::move(streams)), sink_(sink), fileLimit_(std::min(fileLimit, kRiffFileLimit)),
      totals_(streams_.size()) {
    // Two decimal digits name a stream in a chunk id.
    valid_ = sink_ && !streams_.empty() && streams_.size() <= 100 &&
             std::all_of(streams_.begin(), streams_.end(), IsValidSpec);
}

bool AviWriter::Write(uint64_t offset, const uint8_t* data, size_t size) {
    if (failed_) return false;
    if (!sink_->Write(offset, data, size)) failed_ = true;
    return !failed_;
}

bool AviWriter::Begin() {
    if (!valid_) return false;
    const std::vector<uint8_t> header = BuildHeader(streams_, totals_, 0, 0);
    moviEnd_ = header.size();
    moviCode_ = moviEnd_ - 4;
    if (FileSize() > fileLimit_) {
        failed_ = true;  // not even an empty file fits
        return false;
    }
    return WriteTrailer();
}

ChunkResult AviWriter::WriteChunk(size_t stream, const uint8_t* data, size_t size, bool keyframe,
                                  ChunkTime time) {
    if (failed_ || moviEnd_ == 0 || stream >= streams_.size()) return ChunkResult::kFailed;
    const uint64_t padded = size + (size & 1);
    if (full_ || moviEnd_ + 8 + padded + 8 + 16 * (index_.size() + 1) > fileLimit_) {
        full_ = true;
        return ChunkResult::kFileFull;
    }
    ByteBuffer head;
    head.Code(ChunkId(stream, streams_[stream].kind));
    head.U32(static_cast<uint32_t>(size));
    const uint8_t pad = 0;
    const uint64_t at = moviEnd_;
    if (!Write(at, head.Data().data(), head.Size())) return ChunkResult::kFailed;
    if (size && !Write(at + 8, data, size)) return ChunkResult::kFailed;
    if ((size & 1) && !Write(at + 8 + size, &pad, 1)) return ChunkResult::kFailed;
    index_.push_back({ChunkId(stream, streams_[stream].kind), keyframe ? kAviifKeyframe : 0,
                      static_cast<uint32_t>(at - moviCode_), static_cast<uint32_t>(size)});
    moviEnd_ = at + 8 + padded;
    unindexed_ = true;
    Record(stream, static_cast<uint32_t>(size), time);
    return ChunkResult::kWritten;
}

void AviWriter::Record(size_t stream, uint32_t size, ChunkTime time) {
    StreamTotals& t = totals_[stream];
    FrameTiming& timing = t.timing;
    if (t.chunks == 0) {
        timing.timed = time.valid;
        timing.firstStart = time.start;
        timing.firstStop = time.valid ? time.stop : time.start;
    }
    timing.timed = timing.timed && time.valid;
    timing.lastStart = time.start;
    ++t.chunks;
    timing.frames = t.chunks;
    t.bytes += size;
    t.largestChunk = std::max(t.largestChunk, size);
}

bool AviWriter::WriteTrailer() {
    if (failed_ || moviEnd_ == 0) return false;
    ByteBuffer idx1;
    idx1.Code(kIdx1);
    idx1.U32(static_cast<uint32_t>(16 * index_.size()));
    for (const IndexEntry& e : index_) {
        idx1.Code(e.id);
        idx1.U32(e.flags);
        idx1.U32(e.offset);
        idx1.U32(e.size);
    }
    if (!Write(moviEnd_, idx1.Data().data(), idx1.Size())) return false;
    const std::vector<uint8_t> header = BuildHeader(streams_, totals_, FileSize(), moviEnd_);
    if (!Write(0, header.data(), header.size())) return false;
    if (!sink_->Flush()) {
        failed_ = true;
        return false;
    }
    unindexed_ = false;
    return true;
}

}  // namespace avi
