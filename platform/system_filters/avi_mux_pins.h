// The AVI Mux's pins (see avi_mux.h for the behaviour they share).
#pragma once

#include "dshow_base/streams.h"
#include "dshow_base/sample_byte_sink.h"
#include "system_filters/avi_writer_core.h"

namespace system_filters {

class CAviMux;

class CAviMuxInputPin : public CBaseInputPin {
public:
    CAviMuxInputPin(CAviMux* mux, CCritSec* lock, int number);

    int Number() const { return number_; }
    // A removed pin refuses new connections.
    void Retire() { retired_ = true; }

    // The stream this pin records into, or -1 when it takes no part.
    int StreamIndex() const { return stream_; }
    void SetStreamIndex(int index) { stream_ = index; }

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    STDMETHODIMP Disconnect() override;

    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;

private:
    CAviMux* mux_;  // owns us
    const int number_;
    bool retired_ = false;
    int stream_ = -1;
};

class CAviMuxOutputPin : public CBaseOutputPin {
public:
    CAviMuxOutputPin(CAviMux* mux, CCritSec* lock);

    avi::ByteSink* Sink() { return &writer_; }
    HRESULT SinkError() const { return sink_.LastError(); }

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Inactive() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

private:
    // The AVI writer's view of the sample sink.
    class SinkWriter : public avi::ByteSink {
    public:
        explicit SinkWriter(CSampleByteSink* sink) : sink_(sink) {}
        bool Write(uint64_t offset, const uint8_t* data, size_t size) override { return sink_->Write(offset, data, size); }
        bool Flush() override { return sink_->Flush(); }

    private:
        CSampleByteSink* sink_;
    };

    CSampleByteSink sink_{this};
    SinkWriter writer_{&sink_};
};

}  // namespace system_filters
