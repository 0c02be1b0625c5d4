// A multiplexer's way into its file: bytes at offsets become media samples
// whose start and stop times are the first and one-past-last byte position,
// as the File Writer takes them. Contiguous writes share a sample, so a
// chunk's header, data and padding reach the file in one piece.
//
// When a sample cannot be delivered (the downstream filter has stopped) the
// bytes go through the downstream pin's IStream, where it offers one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dshow_base/streams.h"

class CSampleByteSink {
public:
    // pin: the multiplexer's output pin, which owns us.
    explicit CSampleByteSink(CBaseOutputPin* pin) : pin_(pin) {}

    // The downstream pin's IStream, or null; set on connection.
    void SetStream(IStream* stream) { stream_ = ComPtr<IStream>(stream); }

    bool Write(uint64_t offset, const uint8_t* data, size_t size);
    bool Flush();
    // Drops a partly filled sample (the allocator is about to be decommitted).
    void Discard();

    // The first failure, for the filter to report.
    HRESULT LastError() const { return error_; }

private:
    bool StartSample(uint64_t offset);
    bool WriteThroughStream(uint64_t offset, const uint8_t* data, size_t size);

    CBaseOutputPin* pin_;  // owns us
    ComPtr<IStream> stream_;
    ComPtr<IMediaSample> pending_;
    BYTE* buffer_ = nullptr;
    uint64_t offset_ = 0;  // file position of pending_'s first byte
    long length_ = 0;
    long capacity_ = 0;
    HRESULT error_ = S_OK;
};
