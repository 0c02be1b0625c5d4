// Small filters that exercise the base classes the way real ones do: a
// source pushing numbered samples, a pass-through transform and a sink that
// records everything it is sent.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "dshow_base/streams.h"

extern const GUID kSubtypeA;
extern const GUID kSubtypeB;
extern const GUID kFormatTest;
const long kSampleBytes = 64;

// A fully specified test type (video major type, test format block).
CMediaType MakeType(const GUID& subtype);
// The subtype a pin is connected with; GUID_NULL when unconnected.
GUID ConnectedSubtype(IPin* pin);
// The reference count of an object, without changing it.
ULONG RefCount(IUnknown* unk);
// Creates COM for the whole test program and counts live base-class objects per test.
class DshowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    LONG objectsAtStart_ = 0;
};

// ---- Source

struct SourceOptions {
    int count = 10;  // samples before end of stream; negative: endless
    std::vector<GUID> offered = {kSubtypeA, kSubtypeB};
    DWORD sleepMs = 0;  // between samples, like a device's frame interval
    int failAt = -1;    // FillBuffer fails at this sample number
    long bufferBytes = kSampleBytes;
    int changeTypeAt = -1;  // this sample carries a switch to kSubtypeB
};

class NumberSource;

// Also answers IMediaSeeking (duration and rate only), so that pass-through
// seeking downstream has something to reach.
class NumberStream : public CSourceStream, public IMediaSeeking {
public:
    NumberStream(NumberSource* source, const SourceOptions& options);
    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP GetDuration(LONGLONG* duration) override;
    STDMETHODIMP SetRate(double rate) override;
    STDMETHODIMP GetRate(double* rate) override;
    STDMETHODIMP GetCapabilities(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeFormat(GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCurrentPosition(LONGLONG*) override { return E_NOTIMPL; }
    STDMETHODIMP ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPreroll(LONGLONG*) override { return E_NOTIMPL; }

    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;
    STDMETHODIMP Notify(IBaseFilter* sender, Quality q) override;

    SourceOptions options;
    volatile LONG next = 0;
    volatile LONG threadsCreated = 0, threadsDestroyed = 0, startPlays = 0, qualityNotes = 0;
    ALLOCATOR_PROPERTIES granted = {};
    double rate = 1.0;
};

class NumberSource : public CSource {
public:
    static ComPtr<IBaseFilter> Create(const SourceOptions& options, NumberSource** raw);
    NumberStream* Stream() { return stream_; }
    IPin* Pin() { return stream_; }

private:
    explicit NumberSource(const SourceOptions& options);
    NumberStream* stream_;
};

// ---- Transform

struct TransformOptions {
    bool failDecideBufferSize = false;
    int skipEvery = 0;           // Transform answers S_FALSE for every n-th sample number
    bool handleQuality = false;  // AlterQuality consumes messages instead of passing them up
};

class PassThrough : public CTransformFilter {
public:
    static ComPtr<IBaseFilter> Create(const TransformOptions& options, PassThrough** raw);

    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT AlterQuality(Quality q) override;

    IPin* In() { return GetPin(0); }
    IPin* Out() { return GetPin(1); }

    TransformOptions options;
    volatile LONG starts = 0, stops = 0, decideCalls = 0, qualityNotes = 0;

private:
    explicit PassThrough(const TransformOptions& options);
};

// ---- Sink

struct Received {
    uint32_t number;
    DWORD flags;  // AM_SAMPLE_* of the sample
    REFERENCE_TIME start, stop;
    LONGLONG mediaStart, mediaStop;  // -1 when the sample had none
    GUID changedSubtype;  // GUID_NULL unless the sample carried a type
};

struct SinkOptions {
    std::vector<GUID> accepted = {kSubtypeA, kSubtypeB};
    std::vector<GUID> offered;          // types the sink's pin proposes itself
    ALLOCATOR_PROPERTIES requirements = {};  // zero: no requirements
    long grantLimit = 0;       // nonzero: offers an allocator that grants at most this many bytes
    bool ownAllocatorOnly = false;  // refuses allocators it did not offer
    bool blockWhilePaused = false;  // holds Receive while paused, like a video renderer
    bool holdSamples = false;       // keeps every sample until Stop or flush, like a queue
};

class RecordingSink;

class SinkPin : public CBaseInputPin {
public:
    SinkPin(RecordingSink* sink, CCritSec* lock);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    ComPtr<IMemAllocator> offeredAllocator;

private:
    RecordingSink* sink_;
};

class RecordingSink : public CBaseFilter, public IAMFilterMiscFlags {
public:
    static ComPtr<IBaseFilter> Create(const SinkOptions& options, RecordingSink** raw);
    ~RecordingSink() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? pin_ : nullptr; }
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;

    std::vector<Received> Samples();
    std::vector<uint32_t> Numbers();
    bool WaitForSamples(size_t n, DWORD timeoutMs);
    bool WaitForEndOfStream(DWORD timeoutMs) { return eos_.Wait(timeoutMs); }
    IPin* Pin() { return pin_; }
    SinkPin* Input() { return pin_; }

    SinkOptions options;
    volatile LONG eosCount = 0, beginFlushes = 0, endFlushes = 0, completes = 0;
    REFERENCE_TIME segmentStart = 0, segmentStop = 0;
    double segmentRate = 0;
    IMemAllocator* notifiedAllocator = nullptr;  // identity only, never used

private:
    friend class SinkPin;
    explicit RecordingSink(const SinkOptions& options);
    HRESULT Record(IMediaSample* sample, const AM_SAMPLE2_PROPERTIES& props);
    void OnEndOfStream();

    CCritSec lock_;
    CCritSec recordLock_;
    SinkPin* pin_;
    std::vector<Received> samples_;
    CAMEvent sampleArrived_{FALSE};
    CAMEvent eos_{TRUE};
    CAMEvent released_{TRUE};  // set while Receive need not block
    bool eosPending_ = false;
    std::vector<ComPtr<IMediaSample>> held_;
};
