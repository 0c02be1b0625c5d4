// The MPEG multiplexer's pins (see mpeg_mux.h for the behaviour they share).
#pragma once

#include <memory>

#include "media/mpeg1/mux/system_mux.h"
#include "dshow_base/streams.h"
#include "dshow_base/sample_byte_sink.h"

namespace mpeg_filters {

class CMpegMux;

class CMpegMuxInputPin : public CBaseInputPin {
public:
    CMpegMuxInputPin(CMpegMux* mux, CCritSec* lock, int number);

    int Number() const { return number_; }
    // A removed pin refuses new connections.
    void Retire() { retired_ = true; }
    // The kind of the connected stream; meaningful while connected.
    mpeg::StreamKind Kind() const { return kind_; }
    // Set when the stream starts, for the multiplexer's end-of-stream count.
    bool Ended() const { return ended_; }
    void SetEnded(bool ended) { ended_ = ended; }

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    STDMETHODIMP Disconnect() override;

    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;

private:
    CMpegMux* mux_;  // owns us
    const int number_;
    bool retired_ = false;
    mpeg::StreamKind kind_ = mpeg::StreamKind::kVideo;
    bool ended_ = false;
};

// Bytes in stream order become samples stamped with their file positions.
class CMpegMuxOutputPin : public CBaseOutputPin, private mpeg::MuxOutput {
public:
    CMpegMuxOutputPin(CMpegMux* mux, CCritSec* lock);

    // Where the multiplexer writes; restarts at byte 0.
    mpeg::MuxOutput* StartStream();
    // Sends what is held back; false when it could not be delivered.
    bool FlushStream();
    HRESULT StreamError() const;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT Inactive() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

private:
    bool Write(const uint8_t* data, size_t size) override;

    // Made anew for every stream, so that one stream's failure is not the next one's.
    std::unique_ptr<CSampleByteSink> sink_;
    uint64_t position_ = 0;
};

}  // namespace mpeg_filters
