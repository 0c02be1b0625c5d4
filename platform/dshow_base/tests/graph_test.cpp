// The filters inside Wine's (or Windows') own filter graph manager.
#include "test_filters.h"

namespace {

// Wine's and Windows' Null Renderer (declared in qedit.h, which MinGW lacks).
const CLSID kClsidNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

class GraphTest : public DshowTest {
protected:
    void SetUp() override {
        DshowTest::SetUp();
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         graph.PutVoid()));
        ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, control.PutVoid()));
        ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaEventEx, events.PutVoid()));
    }
    void TearDown() override {
        if (control) control->Stop();
        events.Reset();
        control.Reset();
        graph.Reset();  // releases the filters; the base check sees them gone
        DshowTest::TearDown();
    }

    // The first event that is not one of the graph's state notifications.
    long WaitForEvent(DWORD timeoutMs, LONG_PTR* param1 = nullptr) {
        const DWORD deadline = GetTickCount() + timeoutMs;
        while (static_cast<LONG>(deadline - GetTickCount()) > 0) {
            long code = 0;
            LONG_PTR p1 = 0, p2 = 0;
            // Wine's GetEvent returns E_ABORT at once on an empty queue instead of
            // waiting out its timeout, so poll.
            if (events->GetEvent(&code, &p1, &p2, 50) != S_OK) {
                Sleep(10);
                continue;
            }
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT) {
                if (param1) *param1 = p1;
                return code;
            }
        }
        return 0;
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
};

TEST_F(GraphTest, RunsSourceTransformSinkToCompletion) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, graph->AddFilter(s.Get(), L"source"));
    ASSERT_EQ(S_OK, graph->AddFilter(t.Get(), L"transform"));
    ASSERT_EQ(S_OK, graph->AddFilter(k.Get(), L"sink"));
    FILTER_INFO info;
    ASSERT_EQ(S_OK, t->QueryFilterInfo(&info));
    EXPECT_STREQ(L"transform", info.achName);
    EXPECT_NE(nullptr, info.pGraph);
    if (info.pGraph) info.pGraph->Release();

    ASSERT_EQ(S_OK, graph->ConnectDirect(source->Pin(), xform->In(), nullptr));
    ASSERT_EQ(S_OK, graph->ConnectDirect(xform->Out(), sink->Pin(), nullptr));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(EC_COMPLETE, WaitForEvent(5000));
    EXPECT_EQ(10u, sink->Numbers().size());
    ASSERT_EQ(S_OK, control->Stop());
    OAFilterState state;
    EXPECT_EQ(S_OK, control->GetState(1000, &state));
    EXPECT_EQ(State_Stopped, state);
    EXPECT_EQ(1, xform->starts);
    EXPECT_EQ(1, xform->stops);

    ASSERT_EQ(S_OK, graph->RemoveFilter(t.Get()));  // disconnects it
    EXPECT_EQ(1u, RefCount(t.Get()));
    ASSERT_EQ(S_OK, t->QueryFilterInfo(&info));
    EXPECT_EQ(nullptr, info.pGraph);
}

TEST_F(GraphTest, IntelligentConnectAndWinesNullRenderer) {
    NumberSource* source;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> renderer;
    ASSERT_EQ(S_OK, CoCreateInstance(kClsidNullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     renderer.PutVoid()));
    ASSERT_EQ(S_OK, graph->AddFilter(s.Get(), L"source"));
    ASSERT_EQ(S_OK, graph->AddFilter(renderer.Get(), L"null"));
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, renderer->EnumPins(pins.Put()));
    ComPtr<IPin> rendererIn;
    ASSERT_EQ(S_OK, pins->Next(1, rendererIn.Put(), nullptr));
    ASSERT_EQ(S_OK, graph->Connect(source->Pin(), rendererIn.Get()));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(EC_COMPLETE, WaitForEvent(5000));
    EXPECT_EQ(10, source->Stream()->next);
    ASSERT_EQ(S_OK, control->Stop());
    EXPECT_EQ(1, source->Stream()->threadsDestroyed);
}

TEST_F(GraphTest, PauseRunStopCyclesWhileALiveSourceStreams) {
    SourceOptions live;
    live.count = -1;
    live.sleepMs = 2;
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create(live, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    SinkOptions blocking;
    blocking.blockWhilePaused = true;
    ComPtr<IBaseFilter> k = RecordingSink::Create(blocking, &sink);
    ASSERT_EQ(S_OK, graph->AddFilter(s.Get(), L"source"));
    ASSERT_EQ(S_OK, graph->AddFilter(t.Get(), L"transform"));
    ASSERT_EQ(S_OK, graph->AddFilter(k.Get(), L"sink"));
    ASSERT_EQ(S_OK, graph->Connect(source->Pin(), xform->In()));
    ASSERT_EQ(S_OK, graph->Connect(xform->Out(), sink->Pin()));

    size_t seen = 0;
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        ASSERT_TRUE(sink->WaitForSamples(seen + 10, 5000));
        ASSERT_TRUE(SUCCEEDED(control->Pause()));
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        ASSERT_TRUE(sink->WaitForSamples(seen + 20, 5000));
        const DWORD before = GetTickCount();
        ASSERT_EQ(S_OK, control->Stop());
        EXPECT_LT(GetTickCount() - before, 2000u);
        seen = sink->Samples().size();
    }
    EXPECT_EQ(3, source->Stream()->threadsCreated);
    EXPECT_EQ(3, source->Stream()->threadsDestroyed);
}

TEST_F(GraphTest, FillBufferFailureAbortsThePlayback) {
    SourceOptions failing;
    failing.failAt = 2;
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create(failing, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, graph->AddFilter(s.Get(), L"source"));
    ASSERT_EQ(S_OK, graph->AddFilter(k.Get(), L"sink"));
    ASSERT_EQ(S_OK, graph->ConnectDirect(source->Pin(), sink->Pin(), nullptr));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    LONG_PTR hr = 0;
    EXPECT_EQ(EC_ERRORABORT, WaitForEvent(5000, &hr));
    EXPECT_EQ(E_ABORT, static_cast<HRESULT>(hr));
    ASSERT_EQ(S_OK, control->Stop());
}

TEST_F(GraphTest, NewInputTypeReconnectsTheTransformOutput) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, graph->AddFilter(s.Get(), L"source"));
    ASSERT_EQ(S_OK, graph->AddFilter(t.Get(), L"transform"));
    ASSERT_EQ(S_OK, graph->AddFilter(k.Get(), L"sink"));
    ASSERT_EQ(S_OK, graph->ConnectDirect(source->Pin(), xform->In(), nullptr));
    ASSERT_EQ(S_OK, graph->ConnectDirect(xform->Out(), sink->Pin(), nullptr));
    ASSERT_TRUE(IsEqualGUID(kSubtypeA, ConnectedSubtype(xform->Out())));

    ASSERT_EQ(S_OK, graph->Disconnect(source->Pin()));
    ASSERT_EQ(S_OK, graph->Disconnect(xform->In()));
    source->Stream()->options.offered = {kSubtypeB};
    ASSERT_EQ(S_OK, graph->ConnectDirect(source->Pin(), xform->In(), nullptr));
    // The graph may reconnect on a thread of its own.
    for (int i = 0; i < 100 && !IsEqualGUID(kSubtypeB, ConnectedSubtype(sink->Pin())); ++i) Sleep(20);
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, ConnectedSubtype(xform->Out())));
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, ConnectedSubtype(sink->Pin())));

    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(EC_COMPLETE, WaitForEvent(5000));
    EXPECT_EQ(10u, sink->Numbers().size());
}

TEST_F(GraphTest, FiltersLeaveTheGraphWithTheirOwnReferenceOnly) {
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, graph->AddFilter(s.Get(), L"source"));
    ASSERT_EQ(S_OK, graph->AddFilter(k.Get(), L"sink"));
    ASSERT_EQ(S_OK, graph->ConnectDirect(source->Pin(), sink->Pin(), nullptr));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(EC_COMPLETE, WaitForEvent(5000));
    control->Stop();
    events.Reset();
    control.Reset();
    graph.Reset();
    // The graph disconnected and released both; nothing of theirs holds the other.
    EXPECT_EQ(1u, RefCount(s.Get()));
    EXPECT_EQ(1u, RefCount(k.Get()));
    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, source->Pin()->ConnectedTo(peer.Put()));
}

}  // namespace
