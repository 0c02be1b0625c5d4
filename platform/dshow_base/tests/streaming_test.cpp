// Streaming through hand-wired filters: state changes in the order a graph
// manager uses (downstream first), flushing, end of stream, quality and
// sample properties.
#include "test_filters.h"

#include <initializer_list>

namespace {

using StreamingTest = DshowTest;

const DWORD kWaitMs = 5000;

// The graph manager changes state from the renderer upstream.
void StateDownstreamFirst(std::initializer_list<IBaseFilter*> upstreamToDownstream, char state) {
    std::vector<IBaseFilter*> order(upstreamToDownstream);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const HRESULT hr = state == 'S' ? (*it)->Stop() : state == 'P' ? (*it)->Pause() : (*it)->Run(0);
        ASSERT_TRUE(SUCCEEDED(hr)) << state << " failed: " << std::hex << hr;
    }
}

void Disconnect(std::initializer_list<IPin*> pins) {
    for (IPin* pin : pins) pin->Disconnect();
}

std::vector<uint32_t> Range(uint32_t from, uint32_t to) {
    std::vector<uint32_t> r;
    for (uint32_t i = from; i < to; ++i) r.push_back(i);
    return r;
}

TEST_F(StreamingTest, SourceDeliversEverySampleThenEndOfStreamAndItsThreadEnds) {
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));

    StateDownstreamFirst({s.Get(), k.Get()}, 'R');
    ASSERT_TRUE(sink->WaitForEndOfStream(kWaitMs));
    EXPECT_EQ(Range(0, 10), sink->Numbers());
    EXPECT_EQ(1, sink->completes);
    FILTER_STATE state;
    EXPECT_EQ(S_OK, s->GetState(0, &state));
    EXPECT_EQ(State_Running, state);
    StateDownstreamFirst({s.Get(), k.Get()}, 'S');
    EXPECT_EQ(1, source->Stream()->threadsCreated);
    EXPECT_EQ(1, source->Stream()->threadsDestroyed);
    EXPECT_EQ(1, source->Stream()->startPlays);

    const std::vector<Received> got = sink->Samples();
    ASSERT_EQ(10u, got.size());
    EXPECT_TRUE(got[0].flags & AM_SAMPLE_DATADISCONTINUITY);
    EXPECT_FALSE(got[1].flags & AM_SAMPLE_DATADISCONTINUITY);
    EXPECT_TRUE(got[2].flags & AM_SAMPLE_SPLICEPOINT);
    EXPECT_FALSE(got[3].flags & AM_SAMPLE_SPLICEPOINT);
    EXPECT_EQ(3000, got[3].start);
    EXPECT_EQ(4000, got[3].stop);
    Disconnect({source->Pin(), sink->Pin()});
}

TEST_F(StreamingTest, TransformCopiesSamplePropertiesToItsOutput) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));

    StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'R');
    ASSERT_TRUE(sink->WaitForEndOfStream(kWaitMs));
    StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'S');
    EXPECT_EQ(1, xform->starts);
    EXPECT_EQ(1, xform->stops);
    const std::vector<Received> got = sink->Samples();
    ASSERT_EQ(10u, got.size());
    for (uint32_t n = 0; n < got.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(n, got[n].number);
        EXPECT_EQ(static_cast<LONGLONG>(n) * 1000, got[n].start);
        EXPECT_EQ(static_cast<LONGLONG>(n) * 1000 + 1000, got[n].stop);
        EXPECT_EQ(static_cast<LONGLONG>(n), got[n].mediaStart);
        EXPECT_EQ(static_cast<LONGLONG>(n) + 1, got[n].mediaStop);
        EXPECT_EQ(n % 2 == 0, (got[n].flags & AM_SAMPLE_SPLICEPOINT) != 0);
        EXPECT_EQ(n == 0, (got[n].flags & AM_SAMPLE_DATADISCONTINUITY) != 0);
        EXPECT_FALSE(got[n].flags & AM_SAMPLE_PREROLL);
    }
    Disconnect({source->Pin(), xform->In(), xform->Out(), sink->Pin()});
}

TEST_F(StreamingTest, SkippedSamplesMarkTheNextAsDiscontinuity) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    TransformOptions everyThird;
    everyThird.skipEvery = 3;
    ComPtr<IBaseFilter> t = PassThrough::Create(everyThird, &xform);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));

    StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'R');
    ASSERT_TRUE(sink->WaitForEndOfStream(kWaitMs));
    StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'S');
    const std::vector<uint32_t> expected = {1, 2, 4, 5, 7, 8};
    EXPECT_EQ(expected, sink->Numbers());
    for (const Received& r : sink->Samples()) {
        EXPECT_EQ(r.number % 3 == 1, (r.flags & AM_SAMPLE_DATADISCONTINUITY) != 0) << r.number;
    }
    Disconnect({source->Pin(), xform->In(), xform->Out(), sink->Pin()});
}

TEST_F(StreamingTest, StopWhileStreamingIntoABlockingRendererEndsEveryThread) {
    SourceOptions endless;
    endless.count = -1;
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create(endless, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    SinkOptions blocking;
    blocking.blockWhilePaused = true;
    ComPtr<IBaseFilter> k = RecordingSink::Create(blocking, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));

    size_t seen = 0;
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        // Paused: the sink holds the first sample, every buffer upstream fills up.
        StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'P');
        Sleep(50);
        EXPECT_EQ(seen, sink->Samples().size());
        StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'R');
        ASSERT_TRUE(sink->WaitForSamples(seen + 20, kWaitMs));
        StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'P');
        StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'S');
        seen = sink->Samples().size();
    }
    EXPECT_EQ(3, source->Stream()->threadsCreated);
    EXPECT_EQ(3, source->Stream()->threadsDestroyed);
    const std::vector<uint32_t> numbers = sink->Numbers();
    for (size_t i = 1; i < numbers.size(); ++i) EXPECT_LT(numbers[i - 1], numbers[i]);
    Disconnect({source->Pin(), xform->In(), xform->Out(), sink->Pin()});
}

TEST_F(StreamingTest, StoppingTheSourceFirstDoesNotHangOnAFullAllocator) {
    SourceOptions endless;
    endless.count = -1;
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create(endless, &source);
    SinkOptions hoarding;
    hoarding.holdSamples = true;
    ComPtr<IBaseFilter> k = RecordingSink::Create(hoarding, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
    StateDownstreamFirst({s.Get(), k.Get()}, 'R');
    // The sink keeps every buffer, so the worker ends up waiting in
    // GetDeliveryBuffer; only decommitting can wake it.
    ASSERT_TRUE(sink->WaitForSamples(static_cast<size_t>(source->Stream()->granted.cBuffers), kWaitMs));
    Sleep(20);
    EXPECT_EQ(static_cast<size_t>(source->Stream()->granted.cBuffers), sink->Samples().size());
    const DWORD before = GetTickCount();
    EXPECT_EQ(S_OK, s->Stop());
    EXPECT_LT(GetTickCount() - before, 2000u);
    EXPECT_EQ(source->Stream()->threadsCreated, source->Stream()->threadsDestroyed);
    EXPECT_EQ(S_OK, k->Stop());
    Disconnect({source->Pin(), sink->Pin()});
}

TEST_F(StreamingTest, FlushRefusesSamplesPassesThroughAndReleasesTheRenderer) {
    SourceOptions endless;
    endless.count = -1;
    endless.sleepMs = 1;
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create(endless, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    SinkOptions blocking;
    blocking.blockWhilePaused = true;
    ComPtr<IBaseFilter> k = RecordingSink::Create(blocking, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));
    StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'P');
    Sleep(50);

    ASSERT_EQ(S_OK, xform->In()->BeginFlush());
    EXPECT_EQ(1, sink->beginFlushes);
    // A sample arriving while flushing is refused with S_FALSE, at every pin.
    ComPtr<IMemInputPin> transformInput, sinkInput;
    ASSERT_EQ(S_OK, xform->In()->QueryInterface(IID_IMemInputPin, transformInput.PutVoid()));
    ASSERT_EQ(S_OK, sink->Pin()->QueryInterface(IID_IMemInputPin, sinkInput.PutVoid()));
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                     allocator.PutVoid()));
    ALLOCATOR_PROPERTIES want = {1, kSampleBytes, 1, 0}, got;
    ASSERT_EQ(S_OK, allocator->SetProperties(&want, &got));
    ASSERT_EQ(S_OK, allocator->Commit());
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, allocator->GetBuffer(sample.Put(), nullptr, nullptr, AM_GBF_NOWAIT));
    EXPECT_EQ(S_FALSE, transformInput->Receive(sample.Get()));
    EXPECT_EQ(S_FALSE, sinkInput->Receive(sample.Get()));
    sample.Reset();
    allocator->Decommit();
    ASSERT_EQ(S_OK, xform->In()->EndFlush());
    EXPECT_EQ(1, sink->endFlushes);

    // A flush does not end the stream: after it, samples are taken again.
    ASSERT_EQ(S_OK, xform->In()->NewSegment(5, 500, 1.5));
    EXPECT_EQ(5, sink->segmentStart);
    EXPECT_EQ(500, sink->segmentStop);
    EXPECT_EQ(1.5, sink->segmentRate);
    EXPECT_EQ(0, sink->eosCount);
    StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'S');
    Disconnect({source->Pin(), xform->In(), xform->Out(), sink->Pin()});
}

TEST_F(StreamingTest, QualityMessagesGoToAlterQualityThenUpstream) {
    NumberSource* source;
    PassThrough* xform;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    ComPtr<IQualityControl> quality;
    ASSERT_EQ(S_OK, xform->Out()->QueryInterface(IID_IQualityControl, quality.PutVoid()));
    const Quality late = {Famine, 800, -10000, 0};
    EXPECT_EQ(S_OK, quality->Notify(nullptr, late));
    EXPECT_EQ(1, xform->qualityNotes);
    EXPECT_EQ(1, source->Stream()->qualityNotes);
    xform->options.handleQuality = true;
    EXPECT_EQ(S_OK, quality->Notify(nullptr, late));
    EXPECT_EQ(2, xform->qualityNotes);
    EXPECT_EQ(1, source->Stream()->qualityNotes);  // consumed by the transform
    quality.Reset();
    Disconnect({source->Pin(), xform->In()});
}

TEST_F(StreamingTest, FailingFillBufferEndsTheStream) {
    SourceOptions failing;
    failing.failAt = 3;
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create(failing, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
    StateDownstreamFirst({s.Get(), k.Get()}, 'R');
    ASSERT_TRUE(sink->WaitForEndOfStream(kWaitMs));
    EXPECT_EQ(Range(0, 3), sink->Numbers());
    StateDownstreamFirst({s.Get(), k.Get()}, 'S');
    Disconnect({source->Pin(), sink->Pin()});
}

TEST_F(StreamingTest, TypeChangesAreAdoptedWhenAcceptedAndStopTheStreamWhenNot) {
    SourceOptions switching;
    switching.changeTypeAt = 4;
    {
        NumberSource* source;
        RecordingSink* sink;
        ComPtr<IBaseFilter> s = NumberSource::Create(switching, &source);
        ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
        ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
        StateDownstreamFirst({s.Get(), k.Get()}, 'R');
        ASSERT_TRUE(sink->WaitForEndOfStream(kWaitMs));
        StateDownstreamFirst({s.Get(), k.Get()}, 'S');
        const std::vector<Received> got = sink->Samples();
        ASSERT_EQ(10u, got.size());
        EXPECT_TRUE(IsEqualGUID(kSubtypeB, got[4].changedSubtype));
        EXPECT_TRUE(IsEqualGUID(GUID_NULL, got[5].changedSubtype));
        Disconnect({source->Pin(), sink->Pin()});
    }
    {
        // The pass-through's output is connected as A, so B cannot flow through it.
        NumberSource* source;
        PassThrough* xform;
        RecordingSink* sink;
        ComPtr<IBaseFilter> s = NumberSource::Create(switching, &source);
        ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
        ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
        ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
        ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));
        StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'R');
        ASSERT_TRUE(sink->WaitForEndOfStream(kWaitMs));
        StateDownstreamFirst({s.Get(), t.Get(), k.Get()}, 'S');
        EXPECT_EQ(Range(0, 4), sink->Numbers());
        EXPECT_EQ(1, sink->eosCount);
        Disconnect({source->Pin(), xform->In(), xform->Out(), sink->Pin()});
    }
}

}  // namespace
