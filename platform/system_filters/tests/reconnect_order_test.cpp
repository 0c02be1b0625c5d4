// Both stand-ins under connect, disconnect, reconnect and state changes in a
// pseudo-random but repeatable order, checking after every step what must
// always hold and, after every run, what arrived.
#include <gtest/gtest.h>

#include <set>

#include "testing/graph_support/test_graph.h"
#include "pixel_formats/convert_frame.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace graph_test {
namespace {

using pixel_formats::PixelFormat;

constexpr int kWidth = 32, kHeight = 24;
constexpr REFERENCE_TIME kFrameDuration = 333333;

// Deterministic choices, so a failure repeats.
class Choices {
public:
    explicit Choices(uint32_t seed) : state_(seed ? seed : 1) {}
    int Next(int bound) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ % static_cast<uint32_t>(bound));
    }

private:
    uint32_t state_;
};

class ReconnectOrderTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, graph_.Create()); }

    CTestSource* AddSource(PixelFormat format) {
        CTestSource* raw = nullptr;
        source_ = CTestSource::Create({MakeVideoType({format, kWidth, kHeight}), -1, 2, kFrameDuration}, &raw);
        EXPECT_EQ(S_OK, graph_.Add(source_.Get(), L"source"));
        return raw;
    }

    CTestSink* AddSink(const CTestSink::Options& options) {
        CTestSink* raw = nullptr;
        sinkFilters_.push_back(CTestSink::Create(options, &raw));
        EXPECT_EQ(S_OK, graph_.Add(sinkFilters_.back().Get(), nullptr));
        sinks_.push_back(raw);
        return raw;
    }

    // Runs briefly; every sink connected to a fed filter must get frames.
    void RunAndStop(const std::vector<CTestSink*>& fed) {
        for (CTestSink* sink : sinks_) sink->Reset();
        ASSERT_EQ(S_OK, graph_.Run());
        for (CTestSink* sink : fed) EXPECT_TRUE(sink->WaitForFrames(2, 3000));
        ASSERT_EQ(S_OK, graph_.Stop());
    }

    ScopedMta com_;
    TestGraph graph_;
    ComPtr<IBaseFilter> source_;
    std::vector<ComPtr<IBaseFilter>> sinkFilters_;
    std::vector<CTestSink*> sinks_;
};

TEST_F(ReconnectOrderTest, InfiniteTeeKeepsItsPinsAndItsStream) {
    ComPtr<IBaseFilter> tee = CreateFilter(CLSID_InfTee);
    ASSERT_TRUE(tee);
    ASSERT_EQ(S_OK, graph_.Add(tee.Get(), L"tee"));
    CTestSource* source = AddSource(PixelFormat::kYuy2);
    CTestSink::Options own, writer;
    own.policy = CTestSink::AllocatorPolicy::kOwnOnly;
    writer.policy = CTestSink::AllocatorPolicy::kWritableOnly;
    writer.scribble = true;
    AddSink({});
    AddSink(own);
    AddSink(writer);
    ComPtr<IPin> input = FindPin(tee.Get(), L"Input");
    const size_t frameSize = pixel_formats::FrameSize(PixelFormat::kYuy2, kWidth, kHeight);

    Choices choose(20240601);
    int fedRuns = 0;  // runs that fed two branches or more
    for (int step = 0; step < 80; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        CTestSink* sink = sinks_[choose.Next(3)];
        // Connecting weighs more than disconnecting, so the graph streams often.
        static constexpr int kOps[] = {0, 0, 1, 2, 2, 3, 4, 4, 5};
        switch (kOps[choose.Next(9)]) {
            case 0:
                if (!IsConnected(input.Get())) {
                    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input.Get()));
                }
                break;
            case 1:
                ASSERT_TRUE(SUCCEEDED(graph_.DisconnectPin(input.Get())));
                break;
            case 2:
                if (!IsConnected(sink->Input())) {
                    const HRESULT hr = graph_.ConnectDirect(FirstPin(tee.Get(), PINDIR_OUTPUT, true).Get(), sink->Input());
                    EXPECT_EQ(IsConnected(input.Get()), SUCCEEDED(hr));
                }
                break;
            case 3:
                ASSERT_TRUE(SUCCEEDED(graph_.DisconnectPin(sink->Input())));
                break;
            case 4: {
                std::vector<CTestSink*> fed;
                for (CTestSink* s : sinks_) {
                    if (IsConnected(input.Get()) && IsConnected(s->Input())) fed.push_back(s);
                }
                RunAndStop(fed);
                fedRuns += fed.size() >= 2;
                for (CTestSink* s : fed) {
                    for (const ReceivedFrame& frame : s->Frames()) {
                        ASSERT_EQ(FramePattern(static_cast<int>(frame.start / kFrameDuration), frameSize), frame.bytes);
                    }
                }
                break;
            }
            default: {
                // Connections are frozen while the graph is not stopped.
                ASSERT_TRUE(SUCCEEDED(graph_.Control()->Pause()));
                ComPtr<IPin> free = FirstPin(tee.Get(), PINDIR_OUTPUT, true);
                if (!IsConnected(sink->Input())) {
                    EXPECT_TRUE(FAILED(free->Connect(sink->Input(), nullptr)));
                }
                ASSERT_EQ(S_OK, graph_.Stop());
                break;
            }
        }
        // Always exactly one free output; names unique; types follow the input.
        int freeOutputs = 0;
        std::set<std::wstring> names;
        for (const std::wstring& name : PinNames(tee.Get())) {
            ASSERT_TRUE(names.insert(name).second);
            if (name == L"Input") continue;
            ComPtr<IPin> out = FindPin(tee.Get(), name.c_str());
            if (!IsConnected(out.Get())) {
                ++freeOutputs;
            } else if (IsConnected(input.Get())) {
                EXPECT_TRUE(ConnectionType(out.Get()) == ConnectionType(input.Get()));
            }
        }
        ASSERT_EQ(1, freeOutputs);
    }
    EXPECT_GE(fedRuns, 3) << "the sequence hardly ever streamed; pick another seed";
}

TEST_F(ReconnectOrderTest, ColourConverterKeepsConvertingCorrectly) {
    ComPtr<IBaseFilter> converter = CreateFilter(CLSID_Colour);
    ASSERT_TRUE(converter);
    ASSERT_EQ(S_OK, graph_.Add(converter.Get(), L"converter"));
    CTestSource* source = AddSource(PixelFormat::kUyvy);
    for (const GUID* subtype : {&MEDIASUBTYPE_RGB32, &MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_YUY2}) {
        CTestSink::Options options;
        const GUID wanted = *subtype;
        options.accepts = [wanted](const CMediaType& mt) { return mt.subtype == wanted; };
        AddSink(options);
    }
    ComPtr<IPin> in = FindPin(converter.Get(), L"In");
    ComPtr<IPin> out = FindPin(converter.Get(), L"Out");
    const size_t frameSize = pixel_formats::FrameSize(PixelFormat::kUyvy, kWidth, kHeight);

    Choices choose(77);
    int fedRuns = 0;
    for (int step = 0; step < 60; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        CTestSink* sink = sinks_[choose.Next(3)];
        static constexpr int kOps[] = {0, 0, 1, 2, 2, 3, 4, 4};
        switch (kOps[choose.Next(8)]) {
            case 0:
                if (!IsConnected(in.Get())) {
                    ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), in.Get()));
                }
                break;
            case 1:
                ASSERT_TRUE(SUCCEEDED(graph_.DisconnectPin(in.Get())));
                break;
            case 2:
                if (!IsConnected(out.Get())) {
                    const HRESULT hr = graph_.ConnectDirect(out.Get(), sink->Input());
                    EXPECT_EQ(IsConnected(in.Get()), SUCCEEDED(hr));
                }
                break;
            case 3:
                ASSERT_TRUE(SUCCEEDED(graph_.DisconnectPin(out.Get())));
                break;
            default: {
                CTestSink* fed = nullptr;
                for (CTestSink* s : sinks_) {
                    if (IsConnected(in.Get()) && IsConnected(s->Input())) fed = s;
                }
                RunAndStop(fed ? std::vector<CTestSink*>{fed} : std::vector<CTestSink*>{});
                if (!fed) break;
                ++fedRuns;
                const CMediaType type = ConnectionType(fed->Input());
                PixelFormat to = PixelFormat::kYuy2;
                if (type.subtype == MEDIASUBTYPE_RGB32) to = PixelFormat::kRgb32;
                if (type.subtype == MEDIASUBTYPE_RGB24) to = PixelFormat::kRgb24;
                for (const ReceivedFrame& frame : fed->Frames()) {
                    const std::vector<uint8_t> input =
                        FramePattern(static_cast<int>(frame.start / kFrameDuration), frameSize);
                    std::vector<uint8_t> expected(pixel_formats::FrameSize(to, kWidth, kHeight));
                    ASSERT_TRUE(pixel_formats::ConvertFrame(input.data(), input.size(), PixelFormat::kUyvy,
                                                            expected.data(), expected.size(), to, kWidth, kHeight));
                    ASSERT_EQ(expected, frame.bytes);
                }
                break;
            }
        }
    }
    EXPECT_GE(fedRuns, 3) << "the sequence hardly ever streamed; pick another seed";
}

}  // namespace
}  // namespace graph_test
