// The Infinite Pin Tee stand-in inside Wine's filter graph manager: pin
// management, media types, fan-out of samples and stream events.
#include <gtest/gtest.h>

#include <algorithm>

#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"
#include "testing/window_harness/waiting.h"

namespace graph_test {
namespace {

using pixel_formats::PixelFormat;
using Names = std::vector<std::wstring>;

class InfTeeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        tee_ = CreateFilter(CLSID_InfTee, &hr);
        ASSERT_EQ(S_OK, hr) << "SystemFilters.ax not registered";
        ASSERT_EQ(S_OK, graph_.Add(tee_.Get(), L"InfPin Filter"));
    }

    CTestSource* AddSource(const CMediaType& type, int frames, DWORD pacingMs = 0) {
        CTestSource* raw = nullptr;
        source_ = CTestSource::Create({type, frames, pacingMs}, &raw);
        EXPECT_TRUE(source_);
        EXPECT_EQ(S_OK, graph_.Add(source_.Get(), L"Source"));
        return raw;
    }

    CTestSink* AddSink(const CTestSink::Options& options = {}) {
        CTestSink* raw = nullptr;
        sinks_.push_back(CTestSink::Create(options, &raw));
        EXPECT_TRUE(sinks_.back());
        EXPECT_EQ(S_OK, graph_.Add(sinks_.back().Get(), (L"Sink" + std::to_wstring(sinks_.size())).c_str()));
        return raw;
    }

    HRESULT ConnectInput(CTestSource* source) {
        return graph_.ConnectDirect(source->Output(), FindPin(tee_.Get(), L"Input").Get());
    }

    // Through the tee's first free output, as the capture engine connects.
    HRESULT ConnectOutput(CTestSink* sink) {
        ComPtr<IPin> out = FirstPin(tee_.Get(), PINDIR_OUTPUT, true);
        if (!out) return E_FAIL;
        return graph_.ConnectDirect(out.Get(), sink->Input());
    }

    int FreeOutputs() {
        int free = 0;
        for (const std::wstring& name : PinNames(tee_.Get())) {
            if (name != L"Input" && !IsConnected(FindPin(tee_.Get(), name.c_str()).Get())) ++free;
        }
        return free;
    }

    ScopedMta com_;
    TestGraph graph_;
    ComPtr<IBaseFilter> tee_;
    ComPtr<IBaseFilter> source_;
    std::vector<ComPtr<IBaseFilter>> sinks_;
};

const CMediaType& Yuy2Type() {
    static const CMediaType type = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    return type;
}

// Every frame arrived whole and in order: frame i carries pattern i.
void ExpectFrames(CTestSink* sink, int count) {
    const std::vector<ReceivedFrame> frames = sink->Frames();
    ASSERT_EQ(static_cast<size_t>(count), frames.size());
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(FramePattern(i, Yuy2Type().GetSampleSize()), frames[i].bytes) << "frame " << i;
        EXPECT_TRUE(frames[i].timed);
        EXPECT_EQ(i * 333333LL, frames[i].start);
    }
}

TEST_F(InfTeeTest, StartsWithOneInputAndOneFreeOutput) {
    EXPECT_EQ((Names{L"Input", L"Output1"}), PinNames(tee_.Get()));
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(S_OK, tee_->GetClassID(&clsid));
    EXPECT_EQ(CLSID_InfTee, clsid);
    PIN_DIRECTION dir;
    ASSERT_EQ(S_OK, FindPin(tee_.Get(), L"Output1")->QueryDirection(&dir));
    EXPECT_EQ(PINDIR_OUTPUT, dir);
}

TEST_F(InfTeeTest, OutputNeedsAConnectedInput) {
    CTestSink* sink = AddSink();
    EXPECT_TRUE(FAILED(ConnectOutput(sink)));
    EXPECT_EQ((Names{L"Input", L"Output1"}), PinNames(tee_.Get()));
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, FindPin(tee_.Get(), L"Output1")->EnumMediaTypes(types.Put()));
    AM_MEDIA_TYPE* type = nullptr;
    EXPECT_NE(S_OK, types->Next(1, &type, nullptr));
}

TEST_F(InfTeeTest, ConnectingAddsAFreeOutputAndDisconnectingRemovesTheExtra) {
    CTestSource* source = AddSource(Yuy2Type(), 0);
    CTestSink* a = AddSink();
    CTestSink* b = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    EXPECT_EQ((Names{L"Input", L"Output1"}), PinNames(tee_.Get()));

    ASSERT_EQ(S_OK, ConnectOutput(a));
    EXPECT_EQ((Names{L"Input", L"Output1", L"Output2"}), PinNames(tee_.Get()));

    // An enumerator from before a change notices it.
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, tee_->EnumPins(pins.Put()));
    ASSERT_EQ(S_OK, ConnectOutput(b));
    EXPECT_EQ((Names{L"Input", L"Output1", L"Output2", L"Output3"}), PinNames(tee_.Get()));
    ComPtr<IPin> pin;
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Next(1, pin.Put(), nullptr));
    ASSERT_EQ(S_OK, pins->Reset());
    EXPECT_EQ(S_OK, pins->Next(1, pin.Put(), nullptr));

    ComPtr<IPin> third = FindPin(tee_.Get(), L"Output3");
    ASSERT_EQ(S_OK, graph_.DisconnectPin(a->Input()));
    EXPECT_EQ((Names{L"Input", L"Output1", L"Output2"}), PinNames(tee_.Get()));
    EXPECT_FALSE(IsConnected(FindPin(tee_.Get(), L"Output1").Get()));
    EXPECT_TRUE(IsConnected(FindPin(tee_.Get(), L"Output2").Get()));

    // The removed pin stays valid for whoever still holds it, but connects nowhere.
    PIN_INFO info{};
    ASSERT_EQ(S_OK, third->QueryPinInfo(&info));
    EXPECT_STREQ(L"Output3", info.achName);
    info.pFilter->Release();
    CTestSink* c = AddSink();
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(third.Get(), c->Input())));

    ASSERT_EQ(S_OK, graph_.DisconnectPin(b->Input()));
    EXPECT_EQ((Names{L"Input", L"Output1"}), PinNames(tee_.Get()));
    ASSERT_EQ(S_OK, ConnectOutput(c));
    EXPECT_EQ((Names{L"Input", L"Output1", L"Output2"}), PinNames(tee_.Get()));
}

TEST_F(InfTeeTest, OutputsCarryOnlyTheInputType) {
    CTestSource* source = AddSource(Yuy2Type(), 0);
    CTestSink* sink = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    ComPtr<IPin> out = FindPin(tee_.Get(), L"Output1");
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, out->EnumMediaTypes(types.Put()));
    AM_MEDIA_TYPE* offered[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, types->Next(2, offered, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_TRUE(CMediaType(*offered[0]) == Yuy2Type());
    DeleteMediaType(offered[0]);

    EXPECT_EQ(S_OK, out->QueryAccept(&Yuy2Type()));
    const CMediaType rgb = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    EXPECT_EQ(S_FALSE, out->QueryAccept(&rgb));
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(out.Get(), sink->Input(), &rgb)));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(out.Get(), sink->Input()));
    EXPECT_TRUE(ConnectionType(sink->Input()) == Yuy2Type());
}

TEST_F(InfTeeTest, InputTypeChangeMustSuitEveryConnectedOutput) {
    const CMediaType uyvy = MakeVideoType({PixelFormat::kUyvy, 64, 48});
    CTestSource* source = AddSource(Yuy2Type(), 0);
    CTestSink* flexible = AddSink();
    CTestSink::Options yuy2Only;
    yuy2Only.accepts = [](const CMediaType& mt) { return mt.subtype == MEDIASUBTYPE_YUY2; };
    CTestSink* picky = AddSink(yuy2Only);
    ASSERT_EQ(S_OK, ConnectInput(source));
    ASSERT_EQ(S_OK, ConnectOutput(flexible));
    ASSERT_EQ(S_OK, ConnectOutput(picky));

    ASSERT_EQ(S_OK, graph_.DisconnectPin(source->Output()));
    source->SetType(uyvy);
    EXPECT_TRUE(FAILED(ConnectInput(source)));
    EXPECT_FALSE(IsConnected(source->Output()));

    ASSERT_EQ(S_OK, graph_.DisconnectPin(picky->Input()));
    ASSERT_EQ(S_OK, ConnectInput(source));
    // The remaining output follows the input, by a reconnection the graph
    // may carry out later.
    EXPECT_TRUE(harness::WaitUntil([&] { return ConnectionType(flexible->Input()) == uyvy; }, 3000, 20));
    EXPECT_EQ(1, FreeOutputs());
}

TEST_F(InfTeeTest, EverySampleAndEndOfStreamReachEveryOutput) {
    constexpr int kFrames = 30;
    CTestSource* source = AddSource(Yuy2Type(), kFrames);
    CTestSink* a = AddSink();
    CTestSink* b = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    ASSERT_EQ(S_OK, ConnectOutput(a));
    ASSERT_EQ(S_OK, ConnectOutput(b));
    ASSERT_EQ(S_OK, graph_.Run());

    ComPtr<IMediaEvent> events;
    ASSERT_EQ(S_OK, graph_.Builder()->QueryInterface(IID_IMediaEvent, events.PutVoid()));
    long code = 0;
    EXPECT_EQ(S_OK, events->WaitForCompletion(5000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
    ASSERT_EQ(S_OK, graph_.Stop());

    for (CTestSink* sink : {a, b}) {
        ExpectFrames(sink, kFrames);
        EXPECT_EQ(1, sink->EndOfStreamCount());
        // Shared upstream buffers: each output is told not to write.
        EXPECT_TRUE(sink->Frames().front().readOnly);
    }
}

TEST_F(InfTeeTest, OutputsInsistingOnTheirOwnBuffersGetCopies) {
    constexpr int kFrames = 12;
    CTestSource* source = AddSource(Yuy2Type(), kFrames);
    CTestSink::Options writer;
    writer.policy = CTestSink::AllocatorPolicy::kWritableOnly;
    writer.scribble = true;  // first in line: damage would show downstream of it
    CTestSink* scribbler = AddSink(writer);
    CTestSink::Options own;
    own.policy = CTestSink::AllocatorPolicy::kOwnOnly;
    CTestSink* owner = AddSink(own);
    CTestSink* sharer = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    ASSERT_EQ(S_OK, ConnectOutput(scribbler));
    ASSERT_EQ(S_OK, ConnectOutput(owner));
    ASSERT_EQ(S_OK, ConnectOutput(sharer));
    ASSERT_EQ(S_OK, graph_.Run());
    for (CTestSink* sink : {scribbler, owner, sharer}) EXPECT_TRUE(sink->WaitForEndOfStream(5000));
    ASSERT_EQ(S_OK, graph_.Stop());

    for (CTestSink* sink : {scribbler, owner, sharer}) ExpectFrames(sink, kFrames);
    EXPECT_FALSE(scribbler->Frames().front().readOnly);
    EXPECT_TRUE(owner->AllocatorIsOwn());
    EXPECT_TRUE(sharer->Frames().front().readOnly);
}

TEST_F(InfTeeTest, FlushAndNewSegmentReachEveryOutput) {
    CTestSource* source = AddSource(Yuy2Type(), 0);
    CTestSink* a = AddSink();
    CTestSink* b = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    ASSERT_EQ(S_OK, ConnectOutput(a));
    ASSERT_EQ(S_OK, ConnectOutput(b));
    ComPtr<IPin> input = FindPin(tee_.Get(), L"Input");
    ASSERT_EQ(S_OK, input->BeginFlush());
    for (CTestSink* sink : {a, b}) EXPECT_EQ(1, sink->BeginFlushCount());
    ASSERT_EQ(S_OK, input->EndFlush());
    ASSERT_EQ(S_OK, input->NewSegment(10000, 20000, 1.0));
    for (CTestSink* sink : {a, b}) {
        EXPECT_EQ(1, sink->EndFlushCount());
        EXPECT_EQ(std::vector<REFERENCE_TIME>{10000}, sink->SegmentStarts());
    }
}

TEST_F(InfTeeTest, StateChangesWhileStreaming) {
    CTestSource* source = AddSource(Yuy2Type(), -1, 2);
    CTestSink* a = AddSink();
    CTestSink* b = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    ASSERT_EQ(S_OK, ConnectOutput(a));
    ASSERT_EQ(S_OK, ConnectOutput(b));
    size_t seen = 0;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(S_OK, graph_.Run());
        ASSERT_TRUE(a->WaitForFrames(seen + 5, 5000));
        ASSERT_TRUE(b->WaitForFrames(seen + 5, 5000));
        ASSERT_EQ(S_OK, graph_.Pause());
        ASSERT_EQ(S_OK, graph_.Run());
        ASSERT_EQ(S_OK, graph_.Stop());
        seen = std::min(a->FrameCount(), b->FrameCount());
    }
    // Nothing mixed up: every frame carries the pattern its time stamp names.
    for (CTestSink* sink : {a, b}) {
        for (const ReceivedFrame& frame : sink->Frames()) {
            ASSERT_TRUE(frame.timed);
            EXPECT_EQ(FramePattern(static_cast<int>(frame.start / 333333), Yuy2Type().GetSampleSize()),
                      frame.bytes);
        }
    }
    // Both saw the same stream, give or take the samples in flight at a stop.
    const long long difference = static_cast<long long>(a->FrameCount()) - static_cast<long long>(b->FrameCount());
    EXPECT_LE(std::llabs(difference), 3);
}

TEST_F(InfTeeTest, SeekingAndQualityPassUpstreamFromTheFirstOutputOnly) {
    CTestSource* source = AddSource(Yuy2Type(), 0);
    CTestSink* a = AddSink();
    CTestSink* b = AddSink();
    ASSERT_EQ(S_OK, ConnectInput(source));
    ASSERT_EQ(S_OK, ConnectOutput(a));
    ASSERT_EQ(S_OK, ConnectOutput(b));
    ComPtr<IMediaSeeking> first, second;
    ASSERT_EQ(S_OK, FindPin(tee_.Get(), L"Output1")->QueryInterface(IID_IMediaSeeking, first.PutVoid()));
    ASSERT_EQ(S_OK, FindPin(tee_.Get(), L"Output2")->QueryInterface(IID_IMediaSeeking, second.PutVoid()));
    // The test source cannot seek: the first output reports that upstream answer.
    LONGLONG position = 0;
    EXPECT_EQ(E_NOTIMPL, first->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                             AM_SEEKING_NoPositioning));
    EXPECT_EQ(S_OK, second->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                         AM_SEEKING_NoPositioning));
    DWORD caps = 0;
    EXPECT_EQ(E_NOTIMPL, second->GetCapabilities(&caps));

    ComPtr<IQualityControl> q1, q2;
    ASSERT_EQ(S_OK, FindPin(tee_.Get(), L"Output1")->QueryInterface(IID_IQualityControl, q1.PutVoid()));
    ASSERT_EQ(S_OK, FindPin(tee_.Get(), L"Output2")->QueryInterface(IID_IQualityControl, q2.PutVoid()));
    const Quality q{Famine, 800, -10000, 0};
    EXPECT_EQ(E_NOTIMPL, q1->Notify(sinks_[0].Get(), q));  // the source's own answer
    EXPECT_EQ(S_OK, q2->Notify(sinks_[1].Get(), q));
}

}  // namespace
}  // namespace graph_test

namespace graph_test {
namespace {

// qedit.h's CLSID_NullRenderer, which MinGW's headers lack.
const CLSID kNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

// Renderers block in Receive while paused, holding their first sample until
// Run; every branch must still get its own first sample so that the pause
// completes.
TEST_F(InfTeeTest, BlockingRenderersOnEveryOutputAllCompleteThePause) {
    CTestSource* source = AddSource(Yuy2Type(), -1, 5);
    ASSERT_EQ(S_OK, ConnectInput(source));
    std::vector<ComPtr<IBaseFilter>> renderers;
    for (int i = 0; i < 2; ++i) {
        HRESULT hr = E_FAIL;
        renderers.push_back(CreateFilter(kNullRenderer, &hr));
        ASSERT_EQ(S_OK, hr);
        ASSERT_EQ(S_OK, graph_.Add(renderers.back().Get(), (L"Null " + std::to_wstring(i)).c_str()));
        ComPtr<IPin> out = FirstPin(tee_.Get(), PINDIR_OUTPUT, true);
        ASSERT_EQ(S_OK, graph_.ConnectDirect(out.Get(), FirstPin(renderers.back().Get(), PINDIR_INPUT, true).Get()));
    }
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(SUCCEEDED(graph_.Control()->Pause()));
        OAFilterState state = State_Stopped;
        EXPECT_EQ(S_OK, graph_.Control()->GetState(3000, &state));
        EXPECT_EQ(State_Paused, state);
        // Stopping from paused, with both renderers still holding their first sample.
        if (round == 0) {
            ASSERT_EQ(S_OK, graph_.Stop());
        }
    }
    // A flush reaches renderers that block, through the output threads.
    ComPtr<IPin> input = FindPin(tee_.Get(), L"Input");
    EXPECT_EQ(S_OK, input->BeginFlush());
    EXPECT_EQ(S_OK, input->EndFlush());
    ASSERT_EQ(S_OK, graph_.Run());
    Sleep(200);
    ASSERT_EQ(S_OK, graph_.Stop());
}

}  // namespace
}  // namespace graph_test
