// Connection protocol, reference counting and enumerators, driven by hand the
// way a graph manager drives them.
#include "test_filters.h"

#include <cstring>
#include <cwchar>

namespace {

using ConnectionTest = DshowTest;

bool IsConnected(IPin* pin) {
    ComPtr<IPin> peer;
    return pin->ConnectedTo(peer.Put()) == S_OK;
}

TEST_F(ConnectionTest, ReceiverTypesAreTriedFirstThenOurs) {
    SinkOptions prefersB;
    prefersB.offered = {kSubtypeB};
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create(prefersB, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, ConnectedSubtype(source->Pin())));
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, ConnectedSubtype(sink->Pin())));
    ASSERT_EQ(S_OK, source->Pin()->Disconnect());
    ASSERT_EQ(S_OK, sink->Pin()->Disconnect());

    sink->options.offered.clear();  // now only the source's list, in its order
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
    EXPECT_TRUE(IsEqualGUID(kSubtypeA, ConnectedSubtype(source->Pin())));
    source->Pin()->Disconnect();
    sink->Pin()->Disconnect();
}

TEST_F(ConnectionTest, GivenTypesArePartialFiltersOrExactProposals) {
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);

    CMediaType partial;
    partial.SetSubtype(&kSubtypeB);
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), &partial));
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, ConnectedSubtype(sink->Pin())));
    source->Pin()->Disconnect();
    sink->Pin()->Disconnect();

    sink->options.accepted = {kSubtypeA};
    const CMediaType refused = MakeType(kSubtypeB);
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, source->Pin()->Connect(sink->Pin(), &refused));
    CMediaType unknown = MakeType(kSubtypeA);
    unknown.SetFormatType(&FORMAT_VideoInfo);  // not a type the source offers
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, source->Pin()->Connect(sink->Pin(), &unknown));
    EXPECT_EQ(VFW_E_NO_ACCEPTABLE_TYPES, source->Pin()->Connect(sink->Pin(), &partial));
    EXPECT_FALSE(IsConnected(source->Pin()));
    EXPECT_FALSE(IsConnected(sink->Pin()));

    sink->options.accepted.clear();
    EXPECT_EQ(VFW_E_NO_ACCEPTABLE_TYPES, source->Pin()->Connect(sink->Pin(), nullptr));
    AM_MEDIA_TYPE mt;
    std::memset(&mt, 0xCC, sizeof mt);
    EXPECT_EQ(VFW_E_NOT_CONNECTED, source->Pin()->ConnectionMediaType(&mt));
    EXPECT_EQ(nullptr, mt.pbFormat);  // cleared, so that freeing it is harmless
    IPin* peer = reinterpret_cast<IPin*>(1);
    EXPECT_EQ(VFW_E_NOT_CONNECTED, source->Pin()->ConnectedTo(&peer));
    EXPECT_EQ(nullptr, peer);
}

TEST_F(ConnectionTest, ProtocolErrorsForWrongStateDirectionAndDoubleConnections) {
    NumberSource* source;
    RecordingSink* sink;
    RecordingSink* other;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ComPtr<IBaseFilter> o = RecordingSink::Create({}, &other);
    ComPtr<IBaseFilter> s2;
    NumberSource* source2;
    s2 = NumberSource::Create({}, &source2);

    const CMediaType a = MakeType(kSubtypeA);
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, source->Pin()->Connect(source2->Pin(), nullptr));
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, sink->Pin()->ReceiveConnection(other->Pin(), &a));
    EXPECT_EQ(S_FALSE, source->Pin()->Disconnect());  // not connected: no error

    ASSERT_EQ(S_OK, s->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, source->Pin()->Connect(sink->Pin(), nullptr));
    ASSERT_EQ(S_OK, s->Stop());
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, source->Pin()->Connect(other->Pin(), nullptr));
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, sink->Pin()->ReceiveConnection(source2->Pin(), &a));

    ASSERT_EQ(S_OK, k->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, sink->Pin()->Disconnect());
    ASSERT_EQ(S_OK, k->Stop());
    EXPECT_EQ(S_OK, sink->Pin()->Disconnect());
    EXPECT_EQ(S_FALSE, sink->Pin()->Disconnect());
    EXPECT_EQ(S_OK, source->Pin()->Disconnect());
}

TEST_F(ConnectionTest, PinsShareTheFilterCountAndConnectionsHoldThePeer) {
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    EXPECT_EQ(1u, RefCount(s.Get()));

    ComPtr<IPin> pin;
    ASSERT_EQ(S_OK, s->FindPin(L"Numbers", pin.Put()));
    EXPECT_EQ(2u, RefCount(s.Get()));  // the pin's reference is the filter's
    EXPECT_EQ(3u, pin->AddRef());
    EXPECT_EQ(2u, pin->Release());

    ComPtr<IUnknown> pinIdentity, filterIdentity, again;
    ASSERT_EQ(S_OK, pin->QueryInterface(IID_IUnknown, pinIdentity.PutVoid()));
    ASSERT_EQ(S_OK, s->QueryInterface(IID_IUnknown, filterIdentity.PutVoid()));
    EXPECT_NE(pinIdentity.Get(), filterIdentity.Get());  // a pin is an object of its own
    ComPtr<IQualityControl> quality;
    ASSERT_EQ(S_OK, pin->QueryInterface(IID_IQualityControl, quality.PutVoid()));
    ASSERT_EQ(S_OK, quality->QueryInterface(IID_IUnknown, again.PutVoid()));
    EXPECT_EQ(pinIdentity.Get(), again.Get());
    ComPtr<IMemInputPin> notOnOutput;
    EXPECT_EQ(E_NOINTERFACE, pin->QueryInterface(IID_IMemInputPin, notOnOutput.PutVoid()));
    EXPECT_EQ(6u, RefCount(s.Get()));  // pin, pinIdentity, filterIdentity, quality, again
    pinIdentity.Reset();
    again.Reset();
    quality.Reset();
    filterIdentity.Reset();
    EXPECT_EQ(2u, RefCount(s.Get()));

    ComPtr<IMediaFilter> mediaFilter;
    ComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, s->QueryInterface(IID_IMediaFilter, mediaFilter.PutVoid()));
    ASSERT_EQ(S_OK, s->QueryInterface(IID_IPersist, persist.PutVoid()));
    CLSID clsid;
    EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
    mediaFilter.Reset();
    persist.Reset();

    PIN_INFO info;
    ASSERT_EQ(S_OK, pin->QueryPinInfo(&info));
    EXPECT_EQ(s.Get(), info.pFilter);
    EXPECT_EQ(PINDIR_OUTPUT, info.dir);
    EXPECT_STREQ(L"Numbers", info.achName);
    EXPECT_EQ(3u, RefCount(s.Get()));
    info.pFilter->Release();

    EXPECT_EQ(1u, RefCount(k.Get()));
    ASSERT_EQ(S_OK, pin->Connect(sink->Pin(), nullptr));
    // The source holds the sink's pin (IPin and IMemInputPin); the sink holds the source's.
    EXPECT_EQ(3u, RefCount(k.Get()));
    EXPECT_EQ(3u, RefCount(s.Get()));
    ComPtr<IPin> peer;
    ASSERT_EQ(S_OK, pin->ConnectedTo(peer.Put()));
    EXPECT_EQ(sink->Pin(), peer.Get());
    EXPECT_EQ(4u, RefCount(k.Get()));
    peer.Reset();
    EXPECT_EQ(S_OK, pin->Disconnect());
    EXPECT_EQ(1u, RefCount(k.Get()));  // the allocator and input pin references went too
    EXPECT_EQ(3u, RefCount(s.Get()));  // the sink still points back until it disconnects
    EXPECT_EQ(S_OK, sink->Pin()->Disconnect());
    EXPECT_EQ(2u, RefCount(s.Get()));
}

TEST_F(ConnectionTest, IdsAndNamesFindTheirPins) {
    PassThrough* xform;
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    ComPtr<IPin> in, out, byName;
    ASSERT_EQ(S_OK, t->FindPin(L"In", in.Put()));
    ASSERT_EQ(S_OK, t->FindPin(L"Out", out.Put()));
    ASSERT_EQ(S_OK, t->FindPin(L"XForm In", byName.Put()));
    EXPECT_EQ(in.Get(), byName.Get());
    EXPECT_EQ(xform->In(), in.Get());
    IPin* missing = reinterpret_cast<IPin*>(1);
    EXPECT_EQ(VFW_E_NOT_FOUND, t->FindPin(L"Sideways", &missing));
    EXPECT_EQ(nullptr, missing);
    for (IPin* pin : {in.Get(), out.Get()}) {
        LPWSTR id = nullptr;
        ASSERT_EQ(S_OK, pin->QueryId(&id));
        ComPtr<IPin> found;
        EXPECT_EQ(S_OK, t->FindPin(id, found.Put()));
        EXPECT_EQ(pin, found.Get());
        CoTaskMemFree(id);
    }
    PIN_INFO info;
    ASSERT_EQ(S_OK, out->QueryPinInfo(&info));
    EXPECT_STREQ(L"XForm Out", info.achName);
    info.pFilter->Release();
}

TEST_F(ConnectionTest, PinEnumeratorWalksSkipsClonesAndNoticesChanges) {
    NumberSource* source;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, s->EnumPins(pins.Put()));
    EXPECT_EQ(2u, RefCount(s.Get()));  // the enumerator keeps the filter alive

    IPin* got[2] = {};
    ULONG fetched = 99;
    EXPECT_EQ(E_INVALIDARG, pins->Next(2, got, nullptr));
    EXPECT_EQ(S_FALSE, pins->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(source->Pin(), got[0]);
    got[0]->Release();
    EXPECT_EQ(S_FALSE, pins->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, pins->Reset());
    EXPECT_EQ(S_FALSE, pins->Skip(2));
    EXPECT_EQ(S_OK, pins->Reset());

    ComPtr<IEnumPins> clone;
    ASSERT_EQ(S_OK, pins->Clone(clone.Put()));
    EXPECT_EQ(3u, RefCount(s.Get()));

    // A second stream changes the pin list under both enumerators.
    auto* extra = new NumberStream(source, SourceOptions{});
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Next(1, got, &fetched));
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Skip(1));
    ComPtr<IEnumPins> refused;
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, clone->Clone(refused.Put()));
    EXPECT_EQ(S_OK, pins->Reset());
    EXPECT_EQ(S_OK, pins->Next(2, got, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ(static_cast<IPin*>(extra), got[1]);
    got[0]->Release();
    got[1]->Release();
    delete extra;  // its destructor takes it off the filter's list
    EXPECT_EQ(1, source->GetPinCount());
    pins.Reset();
    clone.Reset();
    EXPECT_EQ(1u, RefCount(s.Get()));
}

TEST_F(ConnectionTest, MediaTypeEnumeratorFollowsThePinsListAndVersion) {
    NumberSource* source;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, source->Pin()->EnumMediaTypes(types.Put()));
    EXPECT_EQ(2u, RefCount(s.Get()));
    AM_MEDIA_TYPE* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, types->Next(3, got, &fetched));
    ASSERT_EQ(2u, fetched);
    EXPECT_TRUE(IsEqualGUID(kSubtypeA, got[0]->subtype));
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, got[1]->subtype));
    EXPECT_EQ(MakeType(kSubtypeB), *static_cast<CMediaType*>(got[1]));
    DeleteMediaType(got[0]);
    DeleteMediaType(got[1]);

    EXPECT_EQ(S_OK, types->Reset());
    EXPECT_EQ(S_OK, types->Skip(1));
    ComPtr<IEnumMediaTypes> clone;
    ASSERT_EQ(S_OK, types->Clone(clone.Put()));
    ASSERT_EQ(S_OK, clone->Next(1, got, nullptr));  // the clone starts where we were
    EXPECT_TRUE(IsEqualGUID(kSubtypeB, got[0]->subtype));
    DeleteMediaType(got[0]);
    EXPECT_EQ(S_FALSE, types->Skip(5));

    source->Stream()->IncrementTypeVersion();
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, clone->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, clone->Reset());
    EXPECT_EQ(S_OK, clone->Next(1, got, &fetched));
    DeleteMediaType(got[0]);
}

TEST_F(ConnectionTest, TransformOutputNeedsItsInputAndFollowsItsType) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    SinkOptions offering;
    offering.offered = {kSubtypeA};
    ComPtr<IBaseFilter> k = RecordingSink::Create(offering, &sink);

    EXPECT_TRUE(FAILED(xform->Out()->Connect(sink->Pin(), nullptr)));
    EXPECT_FALSE(IsConnected(sink->Pin()));
    const CMediaType a = MakeType(kSubtypeA);
    EXPECT_EQ(S_FALSE, xform->Out()->QueryAccept(&a));

    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    EXPECT_EQ(S_OK, xform->Out()->QueryAccept(&a));
    const CMediaType b = MakeType(kSubtypeB);
    EXPECT_EQ(S_FALSE, xform->Out()->QueryAccept(&b));
    ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));
    EXPECT_TRUE(IsEqualGUID(kSubtypeA, ConnectedSubtype(sink->Pin())));

    // Live, the input takes only what the connected output can still carry.
    EXPECT_EQ(S_OK, xform->In()->QueryAccept(&a));
    EXPECT_EQ(S_FALSE, xform->In()->QueryAccept(&b));

    // Without a graph the output cannot be reconnected, so a new input type that
    // would need it fails and leaves the output as it was.
    source->Pin()->Disconnect();
    xform->In()->Disconnect();
    source->Stream()->options.offered = {kSubtypeB};
    EXPECT_TRUE(FAILED(source->Pin()->Connect(xform->In(), nullptr)));
    EXPECT_FALSE(IsConnected(xform->In()));
    EXPECT_FALSE(IsConnected(source->Pin()));
    EXPECT_TRUE(IsEqualGUID(kSubtypeA, ConnectedSubtype(xform->Out())));
    // The old type reconnects without a graph.
    source->Stream()->options.offered = {kSubtypeA};
    EXPECT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));

    for (IPin* pin : {source->Pin(), xform->In(), xform->Out(), sink->Pin()}) pin->Disconnect();
}

TEST_F(ConnectionTest, FailingDecideBufferSizeFailsTheConnectionAfterBothAllocators) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    TransformOptions failing;
    failing.failDecideBufferSize = true;
    ComPtr<IBaseFilter> t = PassThrough::Create(failing, &xform);
    ComPtr<IBaseFilter> k = RecordingSink::Create({}, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    const LONG refsBefore = static_cast<LONG>(RefCount(k.Get()));
    // The specific failure beats "no acceptable types".
    EXPECT_EQ(E_OUTOFMEMORY, xform->Out()->Connect(sink->Pin(), nullptr));
    EXPECT_EQ(2, xform->decideCalls);  // downstream's allocator, then our own
    EXPECT_FALSE(IsConnected(xform->Out()));
    EXPECT_FALSE(IsConnected(sink->Pin()));
    EXPECT_EQ(refsBefore, static_cast<LONG>(RefCount(k.Get())));
    source->Pin()->Disconnect();
    xform->In()->Disconnect();
}

TEST_F(ConnectionTest, AllocatorGrantingLessIsReplacedByOurOwn) {
    NumberSource* source;
    PassThrough* xform;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    SinkOptions stingy;
    stingy.grantLimit = 16;
    ComPtr<IBaseFilter> k = RecordingSink::Create(stingy, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    ASSERT_EQ(S_OK, xform->Out()->Connect(sink->Pin(), nullptr));
    EXPECT_EQ(2, xform->decideCalls);
    ASSERT_NE(nullptr, sink->notifiedAllocator);
    EXPECT_NE(sink->Input()->offeredAllocator.Get(), sink->notifiedAllocator);
    ALLOCATOR_PROPERTIES props;
    ASSERT_EQ(S_OK, sink->notifiedAllocator->GetProperties(&props));
    EXPECT_GE(props.cbBuffer, kSampleBytes);
    xform->Out()->Disconnect();
    sink->Pin()->Disconnect();

    // A sink that insists on its own allocator cannot be served at all.
    sink->options.ownAllocatorOnly = true;
    EXPECT_EQ(VFW_E_NO_ALLOCATOR, xform->Out()->Connect(sink->Pin(), nullptr));
    EXPECT_FALSE(IsConnected(sink->Pin()));
    source->Pin()->Disconnect();
    xform->In()->Disconnect();
}

TEST_F(ConnectionTest, InputRequirementsReachDecideBufferSize) {
    NumberSource* source;
    RecordingSink* sink;
    ComPtr<IBaseFilter> s = NumberSource::Create({}, &source);
    SinkOptions demanding;
    demanding.requirements = {5, 128, 16, 0};
    ComPtr<IBaseFilter> k = RecordingSink::Create(demanding, &sink);
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->Pin(), nullptr));
    const ALLOCATOR_PROPERTIES& granted = source->Stream()->granted;
    EXPECT_GE(granted.cBuffers, 5);
    EXPECT_GE(granted.cbBuffer, 128);
    EXPECT_EQ(16, granted.cbAlign);
    source->Pin()->Disconnect();
    sink->Pin()->Disconnect();
}

TEST_F(ConnectionTest, SeekingOnTheTransformOutputReachesUpstream) {
    SourceOptions twelve;
    twelve.count = 12;
    NumberSource* source;
    PassThrough* xform;
    ComPtr<IBaseFilter> s = NumberSource::Create(twelve, &source);
    ComPtr<IBaseFilter> t = PassThrough::Create({}, &xform);
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, xform->Out()->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()));
    EXPECT_EQ(2u, RefCount(t.Get()));
    ComPtr<IPin> back;
    ASSERT_EQ(S_OK, seeking->QueryInterface(IID_IPin, back.PutVoid()));  // aggregated into the pin
    EXPECT_EQ(xform->Out(), back.Get());
    back.Reset();
    LONGLONG duration = 0;
    EXPECT_EQ(E_NOTIMPL, seeking->GetDuration(&duration));  // nothing upstream yet

    ASSERT_EQ(S_OK, source->Pin()->Connect(xform->In(), nullptr));
    EXPECT_EQ(S_OK, seeking->GetDuration(&duration));
    EXPECT_EQ(12000, duration);
    EXPECT_EQ(S_OK, seeking->SetRate(2.0));
    EXPECT_EQ(2.0, source->Stream()->rate);
    ComPtr<IMediaPosition> position;
    ASSERT_EQ(S_OK, xform->Out()->QueryInterface(IID_IMediaPosition, position.PutVoid()));
    REFTIME length;
    EXPECT_EQ(E_NOTIMPL, position->get_Duration(&length));  // upstream has no IMediaPosition
    position.Reset();
    seeking.Reset();
    EXPECT_EQ(3u, RefCount(t.Get()));  // the source's pin holds our input (IPin and IMemInputPin)
    source->Pin()->Disconnect();
    xform->In()->Disconnect();
    EXPECT_EQ(1u, RefCount(t.Get()));
}

}  // namespace
