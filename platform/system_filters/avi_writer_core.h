// Lays out an AVI 1.0 file (RIFF 'AVI ', 'hdrl', 'movi', 'idx1') through a
// sink that writes bytes at offsets, as a file writer downstream of a
// multiplexer does.
//
// The file is complete after Begin and after every WriteTrailer: the trailer
// puts 'idx1' right after the last chunk and rewrites the header with the
// totals so far. The next chunk overwrites that 'idx1', so a recording can
// be closed off (when the graph pauses) and go on again.
//
// A RIFF size is 32 bits, so a file ends at 4 GB: a chunk that would not
// leave room for itself and its index entry below the limit is refused and
// the file stays complete without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "system_filters/avi_header.h"
#include "system_filters/avi_stream_info.h"

namespace avi {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be written.
    virtual bool Write(uint64_t offset, const uint8_t* data, size_t size) = 0;
    // Hands on whatever the sink still holds back; the trailer ends with it.
    virtual bool Flush() { return true; }
};

// Time stamps of a chunk (100-ns units), when the sample had them.
struct ChunkTime {
    bool valid = false;
    int64_t start = 0;
    int64_t stop = 0;  // equals start when the sample had no stop time
};

enum class ChunkResult { kWritten, kFileFull, kFailed };

class AviWriter {
public:
    // Bytes a 32-bit RIFF size can describe, plus its 8-byte chunk header.
    static constexpr uint64_t kRiffFileLimit = 0xFFFFFFFFull + 8;

    // fileLimit above kRiffFileLimit counts as kRiffFileLimit.
    AviWriter(std::vector<StreamInfo> streams, ByteSink* sink, uint64_t fileLimit = kRiffFileLimit);

    // False when a stream's format is unusable (see IsValidSpec) or there is none.
    bool Valid() const { return valid_; }

    // Writes the header and an empty index.
    bool Begin();
    ChunkResult WriteChunk(size_t stream, const uint8_t* data, size_t size, bool keyframe, ChunkTime time);
    // Index and header for everything written so far.
    bool WriteTrailer();

    // Once a write failed nothing more is written.
    bool Failed() const { return failed_; }
    bool Full() const { return full_; }
    // Chunks written since the last trailer.
    bool HasUnindexedChunks() const { return unindexed_; }

    const std::vector<StreamInfo>& Streams() const { return streams_; }
    const StreamTotals& Totals(size_t stream) const { return totals_[stream]; }
    uint64_t MoviEnd() const { return moviEnd_; }
    // Where the file ends once the trailer is written.
    uint64_t FileSize() const { return moviEnd_ + 8 + 16 * static_cast<uint64_t>(index_.size()); }

private:
    struct IndexEntry {
        FourCC id;
        uint32_t flags;
        uint32_t offset;  // from the 'movi' code, as readers of 'idx1' expect
        uint32_t size;
    };

    bool Write(uint64_t offset, const uint8_t* data, size_t size);
    void Record(size_t stream, uint32_t size, ChunkTime time);

    std::vector<StreamInfo> streams_;
    ByteSink* sink_;  // not owned
    uint64_t fileLimit_;
    bool valid_ = false;
    bool failed_ = false;
    bool full_ = false;
    bool unindexed_ = false;
    std::vector<StreamTotals> totals_;
    std::vector<IndexEntry> index_;
    uint64_t moviCode_ = 0;  // offset of the 'movi' code
    uint64_t moviEnd_ = 0;
};

}  // namespace avi
