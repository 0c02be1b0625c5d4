// The colour space converter stand-in in Wine's filter graph: connection,
// the types it offers, the pixels it delivers (compared with pixel_formats
// itself) and its place in intelligent connect.
#include <gtest/gtest.h>

#include "testing/graph_support/test_graph.h"

#include <dvdmedia.h>

#include "pixel_formats/convert_frame.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace graph_test {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

constexpr PixelFormat kHandled[] = {PixelFormat::kYuy2,  PixelFormat::kUyvy,  PixelFormat::kI420,
                                    PixelFormat::kRgb24, PixelFormat::kRgb32, PixelFormat::kRgb565};

CTestSink::Options AcceptOnly(const GUID& subtype) {
    CTestSink::Options options;
    options.accepts = [subtype](const CMediaType& mt) { return mt.subtype == subtype; };
    return options;
}

class ColourConversionTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        converter_ = CreateFilter(CLSID_Colour, &hr);
        ASSERT_EQ(S_OK, hr) << "SystemFilters.ax not registered";
        ASSERT_EQ(S_OK, graph_.Add(converter_.Get(), L"colorspace Filter"));
        in_ = FindPin(converter_.Get(), L"In");
        out_ = FindPin(converter_.Get(), L"Out");
        ASSERT_TRUE(in_ && out_);
    }

    CTestSource* AddSource(const CMediaType& type, int frames, DWORD pacingMs = 0) {
        CTestSource* raw = nullptr;
        sources_.push_back(CTestSource::Create({type, frames, pacingMs}, &raw));
        EXPECT_EQ(S_OK, graph_.Add(sources_.back().Get(), nullptr));
        return raw;
    }

    CTestSink* AddSink(const CTestSink::Options& options) {
        CTestSink* raw = nullptr;
        sinks_.push_back(CTestSink::Create(options, &raw));
        EXPECT_EQ(S_OK, graph_.Add(sinks_.back().Get(), nullptr));
        return raw;
    }

    ScopedMta com_;
    TestGraph graph_;
    ComPtr<IBaseFilter> converter_;
    ComPtr<IPin> in_, out_;
    std::vector<ComPtr<IBaseFilter>> sources_, sinks_;
};

TEST_F(ColourConversionTest, RefusesInputsItCannotConvert) {
    const CMediaType rgb8 = MakeOtherVideoType(MEDIASUBTYPE_RGB8, BI_RGB, 8, 64, 48);
    const CMediaType mjpg = MakeOtherVideoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 24, 64, 48);
    for (const CMediaType* type : {&rgb8, &mjpg}) {
        CTestSource* source = AddSource(*type, 1);
        EXPECT_EQ(S_FALSE, in_->QueryAccept(type));
        EXPECT_TRUE(FAILED(graph_.ConnectDirect(source->Output(), in_.Get())));
        EXPECT_FALSE(IsConnected(in_.Get()));
    }
    // The output needs a connected input to derive its types from.
    CTestSink* sink = AddSink({});
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(out_.Get(), sink->Input())));
}

TEST_F(ColourConversionTest, OffersRgbFirstAtTheInputSize) {
    CTestSource* source = AddSource(MakeVideoType({PixelFormat::kYuy2, 33, 17}), 1);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), in_.Get()));
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, out_->EnumMediaTypes(types.Put()));
    const PixelFormat order[] = {PixelFormat::kRgb32, PixelFormat::kRgb24, PixelFormat::kRgb565,
                                 PixelFormat::kYuy2,  PixelFormat::kUyvy,  PixelFormat::kI420};
    for (PixelFormat format : order) {
        AM_MEDIA_TYPE* mt = nullptr;
        ASSERT_EQ(S_OK, types->Next(1, &mt, nullptr));
        EXPECT_EQ(SubtypeFor(format), mt->subtype) << pixel_formats::PixelFormatName(format);
        EXPECT_EQ(FORMAT_VideoInfo, mt->formattype);
        const BITMAPINFOHEADER* bih = BitmapHeader(*mt);
        ASSERT_TRUE(bih);
        EXPECT_EQ(33, bih->biWidth);
        EXPECT_EQ(17, bih->biHeight);
        EXPECT_EQ(pixel_formats::FrameSize(format, 33, 17), bih->biSizeImage);
        EXPECT_EQ(bih->biSizeImage, mt->lSampleSize);
        DeleteMediaType(mt);
    }
    AM_MEDIA_TYPE* extra = nullptr;
    EXPECT_EQ(S_FALSE, types->Next(1, &extra, nullptr));
}

// Runs two frames of `from` through the converter into a sink that takes
// only `to`, and compares with pixel_formats converting the same frames.
void CheckPair(PixelFormat from, PixelFormat to, int width, int height) {
    SCOPED_TRACE(testing::Message() << pixel_formats::PixelFormatName(from) << " -> "
                                    << pixel_formats::PixelFormatName(to) << " " << width << "x" << height);
    TestGraph graph;
    ASSERT_EQ(S_OK, graph.Create());
    ComPtr<IBaseFilter> converter = CreateFilter(CLSID_Colour);
    ASSERT_TRUE(converter);
    const CMediaType inType = MakeVideoType({from, width, height});
    CTestSource* source = nullptr;
    ComPtr<IBaseFilter> sourceFilter = CTestSource::Create({inType, 2}, &source);
    CTestSink* sink = nullptr;
    ComPtr<IBaseFilter> sinkFilter = CTestSink::Create(AcceptOnly(SubtypeFor(to)), &sink);
    ASSERT_EQ(S_OK, graph.Add(sourceFilter.Get(), L"source"));
    ASSERT_EQ(S_OK, graph.Add(converter.Get(), L"converter"));
    ASSERT_EQ(S_OK, graph.Add(sinkFilter.Get(), L"sink"));
    ASSERT_EQ(S_OK, graph.ConnectDirect(source->Output(), FindPin(converter.Get(), L"In").Get()));
    ASSERT_EQ(S_OK, graph.ConnectDirect(FindPin(converter.Get(), L"Out").Get(), sink->Input()));
    ASSERT_EQ(S_OK, graph.Run());
    EXPECT_TRUE(sink->WaitForEndOfStream(5000));
    ASSERT_EQ(S_OK, graph.Stop());

    const int rows = height < 0 ? -height : height;
    const FrameFormat src{from, width, height, 0};
    const FrameFormat dst{to, width, rows, 0};  // offered types are bottom-up RGB
    const std::vector<ReceivedFrame> frames = sink->Frames();
    ASSERT_EQ(2u, frames.size());
    for (int i = 0; i < 2; ++i) {
        const std::vector<uint8_t> input = FramePattern(i, inType.GetSampleSize());
        std::vector<uint8_t> expected(pixel_formats::FrameSize(to, width, rows));
        ASSERT_TRUE(pixel_formats::ConvertFrame(input.data(), input.size(), src, expected.data(), expected.size(), dst));
        EXPECT_TRUE(expected == frames[i].bytes) << "frame " << i;
        EXPECT_EQ(i * 333333LL, frames[i].start);
    }
}

TEST_F(ColourConversionTest, ConvertsEveryPairAtEvenAndOddSizes) {
    for (PixelFormat from : kHandled) {
        for (PixelFormat to : kHandled) {
            CheckPair(from, to, 64, 48);
            CheckPair(from, to, 33, 17);
        }
    }
}

TEST_F(ColourConversionTest, ReadsTopDownRgbInput) {
    CheckPair(PixelFormat::kRgb24, PixelFormat::kYuy2, 33, -17);
    CheckPair(PixelFormat::kRgb32, PixelFormat::kRgb565, 64, -48);
}

TEST_F(ColourConversionTest, WritesIntoTheStrideTheRendererAsksFor) {
    constexpr int kWidth = 33, kHeight = 17, kStridePixels = 48;
    CTestSource* source = AddSource(MakeVideoType({PixelFormat::kYuy2, kWidth, kHeight}), 1);
    const CMediaType wide = MakeVideoType({PixelFormat::kRgb32, kWidth, kHeight, kStridePixels});
    CTestSink::Options options;
    options.offered = {wide};
    options.accepts = [&wide](const CMediaType& mt) { return mt == wide; };
    CTestSink* sink = AddSink(options);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), in_.Get()));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(out_.Get(), sink->Input()));
    ASSERT_EQ(S_OK, graph_.Run());
    ASSERT_TRUE(sink->WaitForEndOfStream(5000));
    ASSERT_EQ(S_OK, graph_.Stop());

    const std::vector<ReceivedFrame> frames = sink->Frames();
    ASSERT_EQ(1u, frames.size());
    const size_t stride = kStridePixels * 4, rowBytes = kWidth * 4;
    ASSERT_EQ(stride * kHeight, frames[0].bytes.size());
    const std::vector<uint8_t> input = FramePattern(0, pixel_formats::FrameSize(PixelFormat::kYuy2, kWidth, kHeight));
    std::vector<uint8_t> packed(rowBytes * kHeight);
    ASSERT_TRUE(pixel_formats::ConvertFrame(input.data(), input.size(), PixelFormat::kYuy2, packed.data(),
                                            packed.size(), PixelFormat::kRgb32, kWidth, kHeight));
    for (int row = 0; row < kHeight; ++row) {
        EXPECT_TRUE(std::equal(packed.begin() + row * rowBytes, packed.begin() + (row + 1) * rowBytes,
                               frames[0].bytes.begin() + row * stride))
            << "row " << row;
    }
}

TEST_F(ColourConversionTest, RefusesAPicturePlacedAwayFromTheOrigin) {
    CTestSource* source = AddSource(MakeVideoType({PixelFormat::kYuy2, 32, 16}), 1);
    CMediaType shifted = MakeVideoType({PixelFormat::kRgb32, 32, 16, 48});
    reinterpret_cast<VIDEOINFOHEADER*>(shifted.pbFormat)->rcTarget = RECT{8, 0, 40, 16};
    CTestSink::Options options;
    options.offered = {shifted};
    options.accepts = [&shifted](const CMediaType& mt) { return mt == shifted; };
    CTestSink* sink = AddSink(options);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), in_.Get()));
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(out_.Get(), sink->Input())));
    EXPECT_FALSE(IsConnected(sink->Input()));
}

TEST_F(ColourConversionTest, OutputSeeksThroughToUpstream) {
    CTestSource* source = AddSource(MakeVideoType({PixelFormat::kYuy2, 32, 16}), 1);
    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), in_.Get()));
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, out_->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()));
    DWORD caps = 0;
    EXPECT_EQ(E_NOTIMPL, seeking->GetCapabilities(&caps));  // the test source does not seek
}

TEST_F(ColourConversionTest, IntelligentConnectPutsItBeforeTheVideoRenderer) {
    CTestSource* source = AddSource(MakeVideoType({PixelFormat::kYuy2, 320, 240}), 5);
    HRESULT hr = E_FAIL;
    ComPtr<IBaseFilter> renderer = CreateFilter(CLSID_VideoRenderer, &hr);
    ASSERT_EQ(S_OK, hr) << "no video renderer (needs an X display)";
    ASSERT_EQ(S_OK, graph_.Add(renderer.Get(), L"Video Render"));
    ComPtr<IPin> rendererIn = FirstPin(renderer.Get(), PINDIR_INPUT, true);
    const CMediaType yuy2 = MakeVideoType({PixelFormat::kYuy2, 320, 240});
    ASSERT_EQ(S_FALSE, rendererIn->QueryAccept(&yuy2)) << "the renderer takes YUY2 itself";

    // Out of the graph: the graph has to find the converter by its registration.
    ASSERT_EQ(S_OK, graph_.Builder()->RemoveFilter(converter_.Get()));
    ASSERT_EQ(S_OK, graph_.Builder()->Connect(source->Output(), rendererIn.Get()));
    const std::vector<CLSID> classes = graph_.FilterClasses();
    EXPECT_NE(classes.end(), std::find(classes.begin(), classes.end(), CLSID_Colour));
    const CMediaType rendered = ConnectionType(rendererIn.Get());
    EXPECT_TRUE(rendered.subtype == MEDIASUBTYPE_RGB32 || rendered.subtype == MEDIASUBTYPE_RGB24 ||
                rendered.subtype == MEDIASUBTYPE_RGB565);

    // And the frames get shown through to the end.
    ASSERT_EQ(S_OK, graph_.Run());
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(S_OK, graph_.Builder()->QueryInterface(IID_IMediaEvent, events.PutVoid()));
    long code = 0;
    EXPECT_EQ(S_OK, events->WaitForCompletion(10000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
    ASSERT_EQ(S_OK, graph_.Stop());
}

}  // namespace
}  // namespace graph_test
