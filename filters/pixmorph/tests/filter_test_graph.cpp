#include <gtest/gtest.h>

#include "filters/pixmorph/tests/filter_test_graph.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <random>

#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/pipeline_types.h"

namespace pixmorph_test {

namespace {
bool IsRgb(const GUID& subtype) { return subtype == MEDIASUBTYPE_RGB24; }
bool IsPlanar(const GUID& subtype) { return subtype == video_media::kMediaSubtypeI420; }
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

CTestSource::Script ScriptOf(const SourceScript& script) {
    CTestSource::Script out;
    for (const SourceScript::Size& size : script.listed)
        out.listed.push_back(VideoType(script.subtype, size.width, size.height));
    for (const ScriptedFrame& f : script.frames) {
        graph_test::ScriptedFrame frame;
        frame.length = f.length >= 0 ? f.length : FrameBytes(script.subtype, f.width, f.height);
        if (f.attachType) frame.attached = VideoType(script.subtype, f.width, f.height);
        out.frames.push_back(frame);
    }
    return out;
}

ComPtr<IBaseFilter> CreateRgbSink(CTestSink** raw) {
    CTestSink::Options options;
    options.accepts = [](const CMediaType& mt) {
        return mt.majortype == MEDIATYPE_Video && mt.subtype == MEDIASUBTYPE_RGB24 && mt.formattype == FORMAT_VideoInfo;
    };
    return CTestSink::Create(options, raw);
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
    ASSERT_EQ(S_OK, graph_.Create(false));
    filter_ = CreatePixmorph(&pixmorph_);
    ASSERT_TRUE(filter_);
    ASSERT_EQ(S_OK, filter_->QueryInterface(IID_IPixmorphControl, control_.PutVoid()));
    ASSERT_EQ(S_OK, graph_.Add(filter_.Get(), L"Pixmorph"));
    sinkFilter_ = CreateRgbSink(&sink_);
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
    sourceFilter_ = CTestSource::CreateScripted(ScriptOf(script), &source_);
    RETURN_IF_FAILED(graph_.Add(sourceFilter_.Get(), L"Source"));
    if (connectAt) return graph_.ConnectDirect(source_->Output(), In(), connectAt);
    const CMediaType first = VideoType(script.subtype, script.listed[0].width, script.listed[0].height);
    return graph_.ConnectDirect(source_->Output(), In(), &first);
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
    const BITMAPINFOHEADER* h = BitmapHeaderOf(mt);
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
