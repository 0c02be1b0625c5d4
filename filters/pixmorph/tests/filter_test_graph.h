// What the converter filter's Windows tests build graphs from: a source whose
// pin lists and delivers exactly what a test scripts (sizes listed, frames of
// any length, types attached to samples), a sink that keeps every frame it
// receives, and a graph around them that collects the graph events.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "dshow_base/streams.h"
#include "filters/pixmorph/PixmorphFilter.h"

namespace pixmorph_test {

// Video type with a VIDEOINFOHEADER: RGB24 (bottom-up for positive heights),
// YUY2, UYVY, YUYV or I420, with its biSizeImage as a fixed sample size.
CMediaType VideoType(const GUID& subtype, int width, int height);
// Bytes of one frame of that type.
long FrameBytes(const GUID& subtype, int width, int height);

// A filter made by the module's own creation function (as its class factory would).
ComPtr<IBaseFilter> CreatePixmorph(CPixmorph** raw = nullptr);
IPin* PinOf(IBaseFilter* filter, int index);  // not AddRef'd: the filter owns its pins

struct ScriptedFrame {
    int width;
    int height;
    bool attachType = false;  // the sample carries the type of this size
    long length = -1;         // actual length; -1: the frame's size
};

struct SourceScript {
    GUID subtype = MEDIASUBTYPE_YUY2;
    struct Size {
        int width, height;
    };
    std::vector<Size> listed;  // the pin's enumerator, in order
    std::vector<ScriptedFrame> frames;
};

class ScriptedSource;

class ScriptedStream : public CSourceStream {
public:
    ScriptedStream(ScriptedSource* source, const SourceScript& script);
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

    const SourceScript script;
    std::vector<std::vector<uint8_t>> delivered;  // every frame's bytes, in order

private:
    size_t next_ = 0;
};

class ScriptedSource : public CSource {
public:
    static ComPtr<IBaseFilter> Create(const SourceScript& script, ScriptedSource** raw);
    ScriptedStream* Stream() { return stream_; }

private:
    explicit ScriptedSource(const SourceScript& script);
    ScriptedStream* stream_;
};

struct ReceivedFrame {
    std::vector<uint8_t> bytes;  // the actual length's worth
    long bufferSize = 0;
    int typeWidth = 0, typeHeight = 0;  // of the type attached to the sample, 0 without
    LONGLONG mediaStart = -1;
    bool discontinuity = false;
};

class FrameSink;

class FrameSinkPin : public CBaseInputPin {
public:
    FrameSinkPin(FrameSink* sink, CCritSec* lock);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

private:
    FrameSink* sink_;
};

// Takes 24-bit RGB; offers `offered` when its type is set.
class FrameSink : public CBaseFilter {
public:
    static ComPtr<IBaseFilter> Create(FrameSink** raw);
    ~FrameSink() override;
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? pin_ : nullptr; }
    IPin* Pin() { return pin_; }

    std::vector<ReceivedFrame> Frames();
    size_t FrameCount();
    bool WaitForEndOfStream(DWORD timeoutMs) { return eos_.Wait(timeoutMs); }
    bool WaitForFrames(size_t count, DWORD timeoutMs);

    CMediaType offered;                // nothing offered while its major type is GUID_NULL
    ALLOCATOR_PROPERTIES granted = {};  // of the allocator NotifyAllocator was given
    // Open unless a test resets it: while shut, Receive holds each frame at
    // the gate, as a paused renderer does, and sets `held` when one waits.
    CAMEvent gate{TRUE};
    CAMEvent held{TRUE};

private:
    friend class FrameSinkPin;
    FrameSink();
    CCritSec lock_;
    CCritSec framesLock_;
    FrameSinkPin* pin_;
    std::vector<ReceivedFrame> frames_;
    CAMEvent eos_{TRUE};
    CAMEvent arrived_{FALSE};
};

// A filter graph (the system's) without a clock, so sources run flat out.
class TestGraph {
public:
    HRESULT Create();
    void Release();
    HRESULT Add(IBaseFilter* filter, LPCWSTR name);
    HRESULT Connect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt = nullptr);
    HRESULT Run();
    HRESULT Stop();
    // Event codes received so far (parameters freed).
    std::vector<long> Events();
    IGraphBuilder* Graph() { return graph_.Get(); }

private:
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IMediaEvent> events_;
};

// The converter's output for one input frame, computed by the core directly.
std::vector<uint8_t> ExpectedOutput(const std::vector<uint8_t>& input, const GUID& subtype, int width, int height,
                                    int outWidth, int outHeight, bool multiple = false, int mx = 1, int my = 1);

// Joins a COM apartment per test and checks that no base-class object outlives it.
class FilterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    HRESULT com_ = E_FAIL;
    LONG objectsAtStart_ = 0;
};

// A filter made by CreateInstance in a graph with a sink; tests add a source.
class PixmorphGraphTest : public FilterTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A scripted source added to the graph and connected to the filter's
    // input with `connectAt` (the first listed size when null).
    HRESULT ConnectSource(const SourceScript& script, const CMediaType* connectAt = nullptr);
    // A source listing one size, connected with it.
    HRESULT ConnectSource(const GUID& subtype, int width, int height, bool variableSize = false,
                          long sampleSize = 0);
    HRESULT ConnectSink() { return graph_.Connect(Out(), sink_->Pin()); }
    // Runs until the sink saw the end of the stream, then stops.
    HRESULT RunToEnd(DWORD timeoutMs = 10000);
    // The filter's first proposal; invalid when there is none.
    CMediaType ProposedType();
    // Width and height of the connected output type; 0 when unconnected.
    int OutputWidth();
    int OutputHeight();
    // How often the graph reported EC_PIXMORPH_INPUT_RESIZED, from the events so far.
    int ResizeEvents();

    IPin* In() { return PinOf(filter_.Get(), 0); }
    IPin* Out() { return PinOf(filter_.Get(), 1); }

    TestGraph graph_;
    ComPtr<IBaseFilter> filter_, sourceFilter_, sinkFilter_;
    ComPtr<IPixmorphControl> control_;
    CPixmorph* pixmorph_ = nullptr;
    ScriptedSource* source_ = nullptr;
    FrameSink* sink_ = nullptr;
    std::vector<long> events_;
};

}  // namespace pixmorph_test
