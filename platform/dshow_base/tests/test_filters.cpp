#include "test_filters.h"

#include <algorithm>
#include <cstring>

// {5E1A0001-7C2B-4D7A-9E55-1A2B3C4D5E01} and so on: test-only identifiers.
const GUID kSubtypeA = {0x5e1a0001, 0x7c2b, 0x4d7a, {0x9e, 0x55, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x01}};
const GUID kSubtypeB = {0x5e1a0002, 0x7c2b, 0x4d7a, {0x9e, 0x55, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x01}};
const GUID kFormatTest = {0x5e1a0003, 0x7c2b, 0x4d7a, {0x9e, 0x55, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x01}};
const CLSID kClsidSource = {0x5e1a0010, 0x7c2b, 0x4d7a, {0x9e, 0x55, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x01}};
const CLSID kClsidPassThrough = {0x5e1a0011, 0x7c2b, 0x4d7a, {0x9e, 0x55, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x01}};
const CLSID kClsidSink = {0x5e1a0012, 0x7c2b, 0x4d7a, {0x9e, 0x55, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x01}};

namespace {
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
    void TearDown() override { CoUninitialize(); }
};
::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

bool Contains(const std::vector<GUID>& list, const GUID& g) {
    return std::find_if(list.begin(), list.end(), [&](const GUID& x) { return IsEqualGUID(x, g); }) != list.end();
}

uint32_t NumberOf(const BYTE* data) {
    uint32_t n;
    std::memcpy(&n, data, sizeof n);
    return n;
}

HRESULT SetAndCheck(IMemAllocator* allocator, long buffers, long bytes, long align, ALLOCATOR_PROPERTIES* granted) {
    ALLOCATOR_PROPERTIES want = {buffers, bytes, align > 0 ? align : 1, 0};
    RETURN_IF_FAILED(allocator->SetProperties(&want, granted));
    return granted->cbBuffer < bytes || granted->cBuffers < 1 ? E_FAIL : S_OK;
}

// Grants at most `limit` bytes a buffer, like a downstream allocator with a fixed pool.
class LimitedAllocator : public CUnknown, public IMemAllocator {
public:
    LimitedAllocator(ComPtr<IMemAllocator> inner, long limit)
        : CUnknown(L"LimitedAllocator", nullptr), inner_(std::move(inner)), limit_(limit) {}
    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (ppv && riid == IID_IMemAllocator) return GetInterface(static_cast<IMemAllocator*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override {
        ALLOCATOR_PROPERTIES limited = *request;
        limited.cbBuffer = std::min(limited.cbBuffer, limit_);
        return inner_->SetProperties(&limited, actual);
    }
    STDMETHODIMP GetProperties(ALLOCATOR_PROPERTIES* props) override { return inner_->GetProperties(props); }
    STDMETHODIMP Commit() override { return inner_->Commit(); }
    STDMETHODIMP Decommit() override { return inner_->Decommit(); }
    STDMETHODIMP GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                           DWORD flags) override {
        return inner_->GetBuffer(sample, start, stop, flags);
    }
    STDMETHODIMP ReleaseBuffer(IMediaSample* sample) override { return inner_->ReleaseBuffer(sample); }

private:
    ComPtr<IMemAllocator> inner_;
    long limit_;
};
}  // namespace

CMediaType MakeType(const GUID& subtype) {
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&kFormatTest);
    const DWORD format = 0x1234;
    mt.SetFormat(reinterpret_cast<const BYTE*>(&format), sizeof format);
    mt.SetSampleSize(kSampleBytes);
    return mt;
}

GUID ConnectedSubtype(IPin* pin) {
    AM_MEDIA_TYPE mt = {};
    if (pin->ConnectionMediaType(&mt) != S_OK) return GUID_NULL;
    const GUID subtype = mt.subtype;
    FreeMediaType(mt);
    return subtype;
}

ULONG RefCount(IUnknown* unk) {
    unk->AddRef();
    return unk->Release();
}

void DshowTest::SetUp() { objectsAtStart_ = CBaseObject::ObjectsActive(); }

void DshowTest::TearDown() { EXPECT_EQ(objectsAtStart_, CBaseObject::ObjectsActive()) << "base-class objects leaked"; }

// ---- NumberSource

NumberStream::NumberStream(NumberSource* source, const SourceOptions& opts)
    : CSourceStream(L"NumberStream", source, L"Numbers"), options(opts) {}

HRESULT NumberStream::FillBuffer(IMediaSample* sample) {
    const LONG n = next;
    if (options.count >= 0 && n >= options.count) return S_FALSE;
    if (n == options.failAt) return E_ABORT;
    if (options.sleepMs) Sleep(options.sleepMs);
    BYTE* data = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&data));
    const uint32_t number = static_cast<uint32_t>(n);
    std::memcpy(data, &number, sizeof number);
    RETURN_IF_FAILED(sample->SetActualDataLength(sizeof number));
    REFERENCE_TIME start = n * 1000, stop = start + 1000;
    sample->SetTime(&start, &stop);
    REFERENCE_TIME mediaStart = n, mediaStop = n + 1;
    sample->SetMediaTime(&mediaStart, &mediaStop);
    sample->SetSyncPoint(n % 2 == 0);
    sample->SetDiscontinuity(n == 0);
    if (n == options.changeTypeAt) {
        const CMediaType changed = MakeType(kSubtypeB);
        sample->SetMediaType(const_cast<CMediaType*>(&changed));
    }
    InterlockedIncrement(&next);
    return S_OK;
}

STDMETHODIMP NumberStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (ppv && riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP NumberStream::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    *duration = options.count * 1000LL;
    return S_OK;
}

STDMETHODIMP NumberStream::SetRate(double r) {
    rate = r;
    return S_OK;
}

STDMETHODIMP NumberStream::GetRate(double* r) {
    if (!r) return E_POINTER;
    *r = rate;
    return S_OK;
}

HRESULT NumberStream::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position >= static_cast<int>(options.offered.size())) return VFW_S_NO_MORE_ITEMS;
    *mt = MakeType(options.offered[position]);
    return S_OK;
}

HRESULT NumberStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    return SetAndCheck(allocator, std::max(props->cBuffers, 2L), std::max(props->cbBuffer, options.bufferBytes),
                       props->cbAlign, &granted);
}

HRESULT NumberStream::OnThreadCreate() {
    InterlockedIncrement(&threadsCreated);
    return S_OK;
}

HRESULT NumberStream::OnThreadDestroy() {
    InterlockedIncrement(&threadsDestroyed);
    return S_OK;
}

HRESULT NumberStream::OnThreadStartPlay() {
    InterlockedIncrement(&startPlays);
    return S_OK;
}

STDMETHODIMP NumberStream::Notify(IBaseFilter*, Quality) {
    InterlockedIncrement(&qualityNotes);
    return S_OK;
}

NumberSource::NumberSource(const SourceOptions& options) : CSource(L"NumberSource", nullptr, kClsidSource) {
    stream_ = new NumberStream(this, options);
}

ComPtr<IBaseFilter> NumberSource::Create(const SourceOptions& options, NumberSource** raw) {
    auto* source = new NumberSource(options);
    if (raw) *raw = source;
    return ComPtr<IBaseFilter>(source);
}

// ---- PassThrough

PassThrough::PassThrough(const TransformOptions& opts)
    : CTransformFilter(L"PassThrough", nullptr, kClsidPassThrough), options(opts) {}

ComPtr<IBaseFilter> PassThrough::Create(const TransformOptions& options, PassThrough** raw) {
    auto* filter = new PassThrough(options);
    if (raw) *raw = filter;
    return ComPtr<IBaseFilter>(filter);
}

HRESULT PassThrough::CheckInputType(const CMediaType* in) {
    return IsEqualGUID(*in->Type(), MEDIATYPE_Video) && IsEqualGUID(*in->FormatType(), kFormatTest)
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PassThrough::CheckTransform(const CMediaType* in, const CMediaType* out) {
    return *in == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PassThrough::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    InterlockedIncrement(&decideCalls);
    if (options.failDecideBufferSize) return E_OUTOFMEMORY;
    ALLOCATOR_PROPERTIES granted;
    return SetAndCheck(allocator, std::max(props->cBuffers, 1L), std::max(props->cbBuffer, kSampleBytes),
                       props->cbAlign, &granted);
}

HRESULT PassThrough::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *mt = m_pInput->CurrentMediaType();
    return S_OK;
}

HRESULT PassThrough::Transform(IMediaSample* in, IMediaSample* out) {
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    RETURN_IF_FAILED(in->GetPointer(&src));
    RETURN_IF_FAILED(out->GetPointer(&dst));
    const long length = in->GetActualDataLength();
    if (length > out->GetSize()) return E_UNEXPECTED;
    std::memcpy(dst, src, length);
    RETURN_IF_FAILED(out->SetActualDataLength(length));
    if (options.skipEvery > 0 && length >= 4 && NumberOf(src) % options.skipEvery == 0) return S_FALSE;
    return S_OK;
}

HRESULT PassThrough::StartStreaming() {
    InterlockedIncrement(&starts);
    return S_OK;
}

HRESULT PassThrough::StopStreaming() {
    InterlockedIncrement(&stops);
    return S_OK;
}

HRESULT PassThrough::AlterQuality(Quality) {
    InterlockedIncrement(&qualityNotes);
    return options.handleQuality ? S_OK : S_FALSE;
}

// ---- RecordingSink

SinkPin::SinkPin(RecordingSink* sink, CCritSec* lock)
    : CBaseInputPin(L"SinkPin", sink, lock, L"Input"), sink_(sink) {}

HRESULT SinkPin::CheckMediaType(const CMediaType* mt) {
    if (!IsEqualGUID(*mt->Type(), MEDIATYPE_Video) || !IsEqualGUID(*mt->FormatType(), kFormatTest)) return S_FALSE;
    return Contains(sink_->options.accepted, *mt->Subtype()) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT SinkPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position >= static_cast<int>(sink_->options.offered.size())) return VFW_S_NO_MORE_ITEMS;
    *mt = MakeType(sink_->options.offered[position]);
    return S_OK;
}

STDMETHODIMP SinkPin::GetAllocator(IMemAllocator** allocator) {
    if (!sink_->options.grantLimit) return CBaseInputPin::GetAllocator(allocator);
    if (!allocator) return E_POINTER;
    if (!offeredAllocator) {
        ComPtr<IMemAllocator> inner;
        RETURN_IF_FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                          inner.PutVoid()));
        offeredAllocator = ComPtr<IMemAllocator>(new LimitedAllocator(inner, sink_->options.grantLimit));
    }
    return offeredAllocator.CopyTo(allocator);
}

STDMETHODIMP SinkPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (sink_->options.ownAllocatorOnly && allocator != offeredAllocator.Get()) return VFW_E_NO_ALLOCATOR;
    sink_->notifiedAllocator = allocator;
    return CBaseInputPin::NotifyAllocator(allocator, readOnly);
}

STDMETHODIMP SinkPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) {
    if (sink_->options.requirements.cBuffers == 0) return CBaseInputPin::GetAllocatorRequirements(props);
    *props = sink_->options.requirements;
    return S_OK;
}

STDMETHODIMP SinkPin::Receive(IMediaSample* sample) {
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (sink_->options.blockWhilePaused) {
        sink_->released_.Wait();
        hr = CheckStreaming();  // stopped or flushed meanwhile: the sample is dropped
        if (hr != S_OK) return hr;
    }
    return sink_->Record(sample, m_SampleProps);
}

STDMETHODIMP SinkPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    sink_->OnEndOfStream();
    return S_OK;
}

STDMETHODIMP SinkPin::BeginFlush() {
    InterlockedIncrement(&sink_->beginFlushes);
    RETURN_IF_FAILED(CBaseInputPin::BeginFlush());
    sink_->released_.Set();  // a held Receive must return while flushing
    CAutoLock records(&sink_->recordLock_);
    sink_->held_.clear();
    return S_OK;
}

STDMETHODIMP SinkPin::EndFlush() {
    InterlockedIncrement(&sink_->endFlushes);
    {
        CAutoLock lock(m_pLock);
        if (sink_->m_State == State_Paused) sink_->released_.Reset();
        sink_->eosPending_ = false;
    }
    return CBaseInputPin::EndFlush();
}

STDMETHODIMP SinkPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    sink_->segmentStart = start;
    sink_->segmentStop = stop;
    sink_->segmentRate = rate;
    return CBaseInputPin::NewSegment(start, stop, rate);
}

RecordingSink::RecordingSink(const SinkOptions& opts)
    : CBaseFilter(L"RecordingSink", nullptr, &lock_, kClsidSink), options(opts) {
    pin_ = new SinkPin(this, &lock_);
}

RecordingSink::~RecordingSink() { delete pin_; }

ComPtr<IBaseFilter> RecordingSink::Create(const SinkOptions& options, RecordingSink** raw) {
    auto* sink = new RecordingSink(options);
    if (raw) *raw = sink;
    return ComPtr<IBaseFilter>(sink);
}

STDMETHODIMP RecordingSink::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (ppv && riid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP RecordingSink::Stop() {
    CAutoLock lock(&lock_);
    released_.Set();
    {
        CAutoLock records(&recordLock_);
        held_.clear();
    }
    eosPending_ = false;
    return CBaseFilter::Stop();
}

STDMETHODIMP RecordingSink::Pause() {
    CAutoLock lock(&lock_);
    if (m_State == State_Stopped) {
        eos_.Reset();
        eosPending_ = false;
    }
    released_.Reset();
    return CBaseFilter::Pause();
}

STDMETHODIMP RecordingSink::Run(REFERENCE_TIME start) {
    CAutoLock lock(&lock_);
    RETURN_IF_FAILED(CBaseFilter::Run(start));
    released_.Set();
    // A renderer reports completion once it runs, not when EOS reached it in pause.
    if (eosPending_) {
        eosPending_ = false;
        InterlockedIncrement(&completes);
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    }
    return S_OK;
}

void RecordingSink::OnEndOfStream() {
    CAutoLock lock(&lock_);
    InterlockedIncrement(&eosCount);
    if (m_State == State_Running) {
        InterlockedIncrement(&completes);
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    } else {
        eosPending_ = true;
    }
    eos_.Set();  // last, so a waiting test sees the counts above
}

HRESULT RecordingSink::Record(IMediaSample* sample, const AM_SAMPLE2_PROPERTIES& props) {
    BYTE* data = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&data));
    if (sample->GetActualDataLength() < 4) return E_UNEXPECTED;
    Received r = {NumberOf(data), props.dwSampleFlags, props.tStart, props.tStop, -1, -1, GUID_NULL};
    if (sample->GetMediaTime(&r.mediaStart, &r.mediaStop) != S_OK) r.mediaStart = r.mediaStop = -1;
    if ((props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) && props.pMediaType) r.changedSubtype = props.pMediaType->subtype;
    {
        CAutoLock lock(&recordLock_);
        samples_.push_back(r);
        if (options.holdSamples) held_.emplace_back(sample);
    }
    sampleArrived_.Set();
    return S_OK;
}

std::vector<Received> RecordingSink::Samples() {
    CAutoLock lock(&recordLock_);
    return samples_;
}

std::vector<uint32_t> RecordingSink::Numbers() {
    std::vector<uint32_t> numbers;
    for (const Received& r : Samples()) numbers.push_back(r.number);
    return numbers;
}

bool RecordingSink::WaitForSamples(size_t n, DWORD timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    for (;;) {
        if (Samples().size() >= n) return true;
        const LONG left = static_cast<LONG>(deadline - GetTickCount());
        if (left <= 0) return false;
        sampleArrived_.Wait(static_cast<DWORD>(left));
    }
}
