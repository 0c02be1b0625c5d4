#include <gtest/gtest.h>

#include "filters/pixmorph/tests/filter_test_graph.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <random>

#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/video_type.h"

namespace pixmorph_test {

namespace {
// {5E1C0B77-2F0A-4C86-9C6B-1D7E3A2B4F01}, {...02}: classes of the test's own filters.
const CLSID kScriptedSourceClsid = {0x5e1c0b77, 0x2f0a, 0x4c86, {0x9c, 0x6b, 0x1d, 0x7e, 0x3a, 0x2b, 0x4f, 0x01}};
const CLSID kFrameSinkClsid = {0x5e1c0b77, 0x2f0a, 0x4c86, {0x9c, 0x6b, 0x1d, 0x7e, 0x3a, 0x2b, 0x4f, 0x02}};

bool IsRgb(const GUID& subtype) { return subtype == MEDIASUBTYPE_RGB24; }
bool IsPlanar(const GUID& subtype) { return subtype == MEDIASUBTYPE_PixmorphI420; }
}  // namespace

long FrameBytes(const GUID& subtype, int width, int height) {
    const long rows = height < 0 ? -height : height;
    if (IsRgb(subtype)) return ((width * 3 + 3) & ~3) * rows;
    if (IsPlanar(subtype)) return width * rows + 2 * ((width + 1) / 2) * ((rows + 1) / 2);
    return (width + 1) / 2 * 4 * rows;
}

CMediaType VideoType(const GUID& subtype, int width, int height) {
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Video);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_VideoInfo);
    auto* info = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    ZeroMemory(info, sizeof *info);
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = IsRgb(subtype) ? 24 : IsPlanar(subtype) ? 12 : 16;
    h.biCompression = IsRgb(subtype) ? BI_RGB : subtype.Data1;
    h.biSizeImage = FrameBytes(subtype, width, height);
    info->AvgTimePerFrame = 333333;
    mt.SetSampleSize(h.biSizeImage);
    return mt;
}

ComPtr<IBaseFilter> CreatePixmorph(CPixmorph** raw) {
    HRESULT hr = S_OK;
    CUnknown* object = CPixmorph::CreateInstance(nullptr, &hr);
    ComPtr<IBaseFilter> filter;
    if (!object) return filter;
    object->NonDelegatingQueryInterface(IID_IBaseFilter, filter.PutVoid());
    if (raw) *raw = static_cast<CPixmorph*>(object);
    return filter;
}

IPin* PinOf(IBaseFilter* filter, int index) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put()))) return nullptr;
    ComPtr<IPin> pin;
    for (int i = 0; i <= index; ++i) {
        if (pins->Next(1, pin.Put(), nullptr) != S_OK) return nullptr;
    }
    return pin.Get();  // the filter keeps it alive
}

// ---- Source

ScriptedStream::ScriptedStream(ScriptedSource* source, const SourceScript& s)
    : CSourceStream(L"Scripted stream", source, L"Out"), script(s) {}

HRESULT ScriptedStream::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (static_cast<size_t>(position) >= script.listed.size()) return VFW_S_NO_MORE_ITEMS;
    *mt = VideoType(script.subtype, script.listed[position].width, script.listed[position].height);
    return S_OK;
}

HRESULT ScriptedStream::CheckMediaType(const CMediaType* mt) {
    return mt->majortype == MEDIATYPE_Video && mt->subtype == script.subtype ? S_OK : S_FALSE;
}

HRESULT ScriptedStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    long largest = 1;
    for (const ScriptedFrame& f : script.frames)
        largest = std::max(largest, f.length >= 0 ? f.length : FrameBytes(script.subtype, f.width, f.height));
    props->cBuffers = 2;
    props->cbBuffer = largest;
    ALLOCATOR_PROPERTIES actual = {};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= largest ? S_OK : E_FAIL;
}

HRESULT ScriptedStream::FillBuffer(IMediaSample* sample) {
    if (next_ >= script.frames.size()) return S_FALSE;
    const ScriptedFrame& f = script.frames[next_];
    const long bytes = f.length >= 0 ? f.length : FrameBytes(script.subtype, f.width, f.height);
    BYTE* data = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&data));
    if (sample->GetSize() < bytes) return VFW_E_BUFFER_OVERFLOW;
    std::mt19937 rng(static_cast<uint32_t>(next_ + 1));
    std::vector<uint8_t> frame(bytes);
    for (auto& b : frame) b = static_cast<uint8_t>(rng());
    if (bytes) std::memcpy(data, frame.data(), bytes);
    RETURN_IF_FAILED(sample->SetActualDataLength(bytes));
    if (f.attachType) {
        const CMediaType type = VideoType(script.subtype, f.width, f.height);
        sample->SetMediaType(const_cast<CMediaType*>(&type));
    }
    REFERENCE_TIME start = static_cast<REFERENCE_TIME>(next_) * 333333, stop = start + 333333;
    sample->SetTime(&start, &stop);
    LONGLONG mediaStart = static_cast<LONGLONG>(next_), mediaStop = mediaStart + 1;
    sample->SetMediaTime(&mediaStart, &mediaStop);
    sample->SetSyncPoint(TRUE);
    delivered.push_back(std::move(frame));
    ++next_;
    return S_OK;
}

ScriptedSource::ScriptedSource(const SourceScript& script)
    : CSource(L"Scripted source", nullptr, kScriptedSourceClsid),
      stream_(new (std::nothrow) ScriptedStream(this, script)) {}

ComPtr<IBaseFilter> ScriptedSource::Create(const SourceScript& script, ScriptedSource** raw) {
    auto* source = new ScriptedSource(script);
    ComPtr<IBaseFilter> filter(source);
    *raw = source;
    return filter;
}

// ---- Sink

FrameSinkPin::FrameSinkPin(FrameSink* sink, CCritSec* lock)
    : CBaseInputPin(L"Frame sink pin", sink, lock, L"In"), sink_(sink) {}

HRESULT FrameSinkPin::CheckMediaType(const CMediaType* mt) {
    return mt->majortype == MEDIATYPE_Video && mt->subtype == MEDIASUBTYPE_RGB24 &&
                   mt->formattype == FORMAT_VideoInfo
               ? S_OK
               : S_FALSE;
}

HRESULT FrameSinkPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || sink_->offered.majortype == GUID_NULL) return VFW_S_NO_MORE_ITEMS;
    *mt = sink_->offered;
    return S_OK;
}

STDMETHODIMP FrameSinkPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (allocator) allocator->GetProperties(&sink_->granted);
    return CBaseInputPin::NotifyAllocator(allocator, readOnly);
}

STDMETHODIMP FrameSinkPin::Receive(IMediaSample* sample) {
    if (!sink_->gate.Check()) {
        sink_->held.Set();
        sink_->gate.Wait();
    }
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    ReceivedFrame frame;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const long length = sample->GetActualDataLength();
    frame.bytes.assign(data, data + std::max(length, 0L));
    frame.bufferSize = sample->GetSize();
    AM_MEDIA_TYPE* type = nullptr;
    if (sample->GetMediaType(&type) == S_OK && type) {
        if (const BITMAPINFOHEADER* h = VideoHeader(*type)) {
            frame.typeWidth = h->biWidth;
            frame.typeHeight = h->biHeight;
        }
        DeleteMediaType(type);
    }
    LONGLONG stop = 0;
    if (sample->GetMediaTime(&frame.mediaStart, &stop) != S_OK) frame.mediaStart = -1;
    frame.discontinuity = sample->IsDiscontinuity() == S_OK;
    {
        CAutoLock lock(&sink_->framesLock_);
        sink_->frames_.push_back(std::move(frame));
    }
    sink_->arrived_.Set();
    return S_OK;
}

STDMETHODIMP FrameSinkPin::EndOfStream() {
    sink_->eos_.Set();
    return CBaseInputPin::EndOfStream();
}

STDMETHODIMP FrameSinkPin::BeginFlush() { return CBaseInputPin::BeginFlush(); }

STDMETHODIMP FrameSinkPin::EndFlush() { return CBaseInputPin::EndFlush(); }

FrameSink::FrameSink()
    : CBaseFilter(L"Frame sink", nullptr, &lock_, kFrameSinkClsid), pin_(new FrameSinkPin(this, &lock_)) {
    gate.Set();
}

FrameSink::~FrameSink() { delete pin_; }

ComPtr<IBaseFilter> FrameSink::Create(FrameSink** raw) {
    auto* sink = new FrameSink();
    ComPtr<IBaseFilter> filter(sink);
    *raw = sink;
    return filter;
}

std::vector<ReceivedFrame> FrameSink::Frames() {
    CAutoLock lock(&framesLock_);
    return frames_;
}

size_t FrameSink::FrameCount() {
    CAutoLock lock(&framesLock_);
    return frames_.size();
}

bool FrameSink::WaitForFrames(size_t count, DWORD timeoutMs) {
    const DWORD until = GetTickCount() + timeoutMs;
    while (FrameCount() < count) {
        const LONG left = static_cast<LONG>(until - GetTickCount());
        if (left <= 0) return false;
        arrived_.Wait(static_cast<DWORD>(left));
    }
    return true;
}

// ---- Graph

HRESULT TestGraph::Create() {
    RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      graph_.PutVoid()));
    RETURN_IF_FAILED(graph_.As(&control_));
    RETURN_IF_FAILED(graph_->QueryInterface(IID_IMediaEvent, events_.PutVoid()));
    ComPtr<IMediaFilter> filter;
    RETURN_IF_FAILED(graph_.As(&filter));
    return filter->SetSyncSource(nullptr);
}

void TestGraph::Release() {
    if (control_) control_->Stop();
    events_.Reset();
    control_.Reset();
    graph_.Reset();
}

HRESULT TestGraph::Add(IBaseFilter* filter, LPCWSTR name) {
    return graph_ ? graph_->AddFilter(filter, name) : E_POINTER;
}

HRESULT TestGraph::Connect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) {
    return graph_ ? graph_->ConnectDirect(out, in, mt) : E_POINTER;
}

HRESULT TestGraph::Run() { return control_ ? control_->Run() : E_POINTER; }

HRESULT TestGraph::Stop() { return control_ ? control_->Stop() : E_POINTER; }

std::vector<long> TestGraph::Events() {
    std::vector<long> codes;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events_ && events_->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        codes.push_back(code);
        events_->FreeEventParams(code, p1, p2);
    }
    return codes;
}

std::vector<uint8_t> ExpectedOutput(const std::vector<uint8_t>& input, const GUID& subtype, int width, int height,
                                    int outWidth, int outHeight, bool multiple, int mx, int my) {
    pixmorph::Subtype s;
    if (!PipelineSubtype(subtype, &s)) return {};
    const pixmorph::WorkSizes need = pixmorph::WorkNeeds({s, width, height});
    std::vector<uint8_t> yuy2(need.yuy2 + 1), rgb(need.rgb + 1), out(pixmorph::OutputFrameSize(outWidth, outHeight));
    const pixmorph::InputFrame in{input.data(), input.size(), s, width, height};
    const pixmorph::OutputFrame o{out.data(), out.size(),
                                  multiple ? pixmorph::ScaleMode::kMultiple : pixmorph::ScaleMode::kSize,
                                  outWidth, outHeight, mx, my};
    if (pixmorph::ConvertFrame(in, {yuy2.data(), yuy2.size(), rgb.data(), rgb.size()}, o) != pixmorph::Status::kOk)
        return {};
    out.resize(static_cast<size_t>(outWidth) * outHeight * 3);  // the actual length the filter sets
    return out;
}

void FilterTest::SetUp() {
    com_ = CoInitialize(nullptr);
    objectsAtStart_ = CBaseObject::ObjectsActive();
}

void FilterTest::TearDown() {
    EXPECT_EQ(objectsAtStart_, CBaseObject::ObjectsActive()) << "a filter, pin or page was leaked";
    if (SUCCEEDED(com_)) CoUninitialize();
}

void PixmorphGraphTest::SetUp() {
    FilterTest::SetUp();
    ASSERT_EQ(S_OK, graph_.Create());
    filter_ = CreatePixmorph(&pixmorph_);
    ASSERT_TRUE(filter_);
    ASSERT_EQ(S_OK, filter_->QueryInterface(IID_IPixmorphControl, control_.PutVoid()));
    ASSERT_EQ(S_OK, graph_.Add(filter_.Get(), L"Pixmorph"));
    sinkFilter_ = FrameSink::Create(&sink_);
    ASSERT_EQ(S_OK, graph_.Add(sinkFilter_.Get(), L"Sink"));
}

void PixmorphGraphTest::TearDown() {
    graph_.Release();  // the graph holds the filters until it goes
    sourceFilter_.Reset();
    sinkFilter_.Reset();
    control_.Reset();
    filter_.Reset();
    FilterTest::TearDown();
}

HRESULT PixmorphGraphTest::ConnectSource(const SourceScript& script, const CMediaType* connectAt) {
    sourceFilter_ = ScriptedSource::Create(script, &source_);
    RETURN_IF_FAILED(graph_.Add(sourceFilter_.Get(), L"Source"));
    if (connectAt) return graph_.Connect(source_->Stream(), In(), connectAt);
    const CMediaType first = VideoType(script.subtype, script.listed[0].width, script.listed[0].height);
    return graph_.Connect(source_->Stream(), In(), &first);
}

HRESULT PixmorphGraphTest::ConnectSource(const GUID& subtype, int width, int height, bool variableSize,
                                         long sampleSize) {
    SourceScript script;
    script.subtype = subtype;
    script.listed = {{width, height}};
    CMediaType type = VideoType(subtype, width, height);
    if (variableSize) {
        type.SetVariableSize();
        type.lSampleSize = sampleSize;
    }
    return ConnectSource(script, &type);
}

HRESULT PixmorphGraphTest::RunToEnd(DWORD timeoutMs) {
    RETURN_IF_FAILED(graph_.Run());
    const bool ended = sink_->WaitForEndOfStream(timeoutMs);
    const HRESULT stopped = graph_.Stop();
    for (long code : graph_.Events()) events_.push_back(code);
    if (!ended) return E_ABORT;
    return stopped;
}

CMediaType PixmorphGraphTest::ProposedType() {
    ComPtr<IEnumMediaTypes> types;
    CMediaType result;
    if (FAILED(Out()->EnumMediaTypes(types.Put()))) return result;
    AM_MEDIA_TYPE* mt = nullptr;
    if (types->Next(1, &mt, nullptr) == S_OK && mt) {
        result = *mt;
        DeleteMediaType(mt);
    }
    return result;
}

namespace {
bool ConnectedSize(IPin* pin, int* width, int* height) {
    AM_MEDIA_TYPE mt = {};
    if (FAILED(pin->ConnectionMediaType(&mt))) return false;
    const BITMAPINFOHEADER* h = VideoHeader(mt);
    if (h) {
        *width = h->biWidth;
        *height = h->biHeight;
    }
    FreeMediaType(mt);
    return h != nullptr;
}
}  // namespace

int PixmorphGraphTest::OutputWidth() {
    int w = 0, h = 0;
    ConnectedSize(Out(), &w, &h);
    return w;
}

int PixmorphGraphTest::OutputHeight() {
    int w = 0, h = 0;
    ConnectedSize(Out(), &w, &h);
    return h;
}

int PixmorphGraphTest::ResizeEvents() {
    for (long code : graph_.Events()) events_.push_back(code);
    return static_cast<int>(std::count(events_.begin(), events_.end(), EC_PIXMORPH_INPUT_RESIZED));
}

}  // namespace pixmorph_test
