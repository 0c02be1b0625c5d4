// The converter filter streaming in the system's graph: frames as the core
// converts them, what a frame carries along, upstream size changes (proved by
// the sample or not), and control changes while the output is connected.
#include <gtest/gtest.h>

#include "filters/pixmorph/tests/filter_test_graph.h"
#include "filters/pixmorph/pipeline_types.h"
#include "testing/window_harness/waiting.h"

namespace pixmorph_test {
namespace {

using PixmorphStream = PixmorphGraphTest;

std::vector<ScriptedFrame> Frames(int count, int width, int height) {
    return std::vector<ScriptedFrame>(count, ScriptedFrame{width, height});
}

// Every received frame against the core's conversion of the frame the
// source delivered, taken at the given input sizes.
void ExpectConverted(const std::vector<ReceivedFrame>& received, const std::vector<std::vector<uint8_t>>& sent,
                     const GUID& subtype, const std::vector<SourceScript::Size>& inputSizes, int outWidth,
                     int outHeight, bool multiple = false, int mx = 1, int my = 1) {
    ASSERT_EQ(received.size(), inputSizes.size());
    for (size_t i = 0; i < received.size(); ++i) {
        const size_t n = static_cast<size_t>(received[i].mediaStart);
        ASSERT_LT(n, sent.size());
        const std::vector<uint8_t> expected = ExpectedOutput(sent[n], subtype, inputSizes[i].width,
                                                             inputSizes[i].height, outWidth, outHeight, multiple,
                                                             mx, my);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(received[i].bytes == expected) << "frame " << i << " differs from the core's conversion";
    }
}

TEST_F(PixmorphStream, FramesAreTheCoresConversionWithTheInputsTimesAndTheOutputType) {
    control_->SetOutputSize(200, 150);
    SourceScript script;
    script.listed = {{320, 240}};
    script.frames = Frames(4, 320, 240);
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());

    const auto received = sink_->Frames();
    ExpectConverted(received, source_->Delivered(), MEDIASUBTYPE_YUY2,
                    std::vector<SourceScript::Size>(4, {320, 240}), 200, 150);
    for (size_t i = 0; i < received.size(); ++i) {
        EXPECT_EQ(static_cast<LONGLONG>(i), received[i].mediaStart);
        EXPECT_EQ(200u * 150 * 3, received[i].bytes.size());
        // Every sample carries the output type.
        EXPECT_EQ(200, received[i].typeWidth);
        EXPECT_EQ(150, received[i].typeHeight);
    }
    EXPECT_EQ(0, ResizeEvents());
}

TEST_F(PixmorphStream, MultipleModeReplicatesPixels) {
    control_->SetMultipleMode(TRUE);
    control_->SetMultiple(2, 3);
    SourceScript script;
    script.subtype = video_media::kMediaSubtypeI420;
    script.listed = {{176, 144}};
    script.frames = Frames(3, 176, 144);
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());
    ExpectConverted(sink_->Frames(), source_->Delivered(), video_media::kMediaSubtypeI420,
                    std::vector<SourceScript::Size>(3, {176, 144}), 352, 432, true, 2, 3);
}

TEST_F(PixmorphStream, AnUpstreamSizeChangeIsFollowedWhenTheSampleProvesIt) {
    // The pin lists 640x480 while connected at 320x240; frames of the
    // connected size come first, then frames of the listed size.
    SourceScript script;
    script.listed = {{640, 480}};
    script.frames = Frames(2, 320, 240);
    for (const ScriptedFrame& f : Frames(3, 640, 480)) script.frames.push_back(f);
    const CMediaType connected = VideoType(MEDIASUBTYPE_YUY2, 320, 240);
    ASSERT_EQ(S_OK, ConnectSource(script, &connected));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());

    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    {{320, 240}, {320, 240}, {640, 480}, {640, 480}, {640, 480}}, 320, 240);
    EXPECT_EQ(1, ResizeEvents());
    AM_MEDIA_TYPE now = {};
    ASSERT_EQ(S_OK, In()->ConnectionMediaType(&now));
    EXPECT_EQ(640, BitmapHeaderOf(now)->biWidth);
    FreeMediaType(now);
    // The work buffers grew with the input.
    EXPECT_GE(pixmorph_->WorkBufferCapacities().rgb, 921600u);
}

TEST_F(PixmorphStream, AnUpstreamListingSeveralSizesDoesNotMakeTheInputAlternate) {
    SourceScript script;
    script.listed = {{640, 480}, {320, 240}};
    script.frames = Frames(6, 320, 240);
    const CMediaType connected = VideoType(MEDIASUBTYPE_YUY2, 320, 240);
    ASSERT_EQ(S_OK, ConnectSource(script, &connected));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());

    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    std::vector<SourceScript::Size>(6, {320, 240}), 320, 240);
    EXPECT_EQ(0, ResizeEvents());
}

TEST_F(PixmorphStream, ATypeAttachedToASampleSwitchesTheSizeWithOneEvent) {
    SourceScript script;
    script.listed = {{320, 240}};
    script.frames = Frames(1, 320, 240);
    script.frames.push_back({160, 120, true});
    script.frames.push_back({160, 120});
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());
    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    {{320, 240}, {160, 120}, {160, 120}}, 320, 240);
    EXPECT_EQ(1, ResizeEvents());
}

TEST_F(PixmorphStream, AFrameShorterThanItsSizeIsDroppedNotRead) {
    SourceScript script;
    script.listed = {{320, 240}, {640, 480}};
    script.frames = Frames(1, 320, 240);
    script.frames.push_back({320, 240, false, 1000});
    script.frames.push_back({320, 240});
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());
    const auto received = sink_->Frames();
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ(0, received[0].mediaStart);
    EXPECT_EQ(2, received[1].mediaStart);
    EXPECT_TRUE(received[1].discontinuity) << "the frame after a dropped one";
    ExpectConverted(received, source_->Delivered(), MEDIASUBTYPE_YUY2, {{320, 240}, {320, 240}}, 320,
                    240);
    EXPECT_EQ(0, ResizeEvents());
}

TEST_F(PixmorphStream, ControlChangesWhileConnectedWaitForTheNextConnection) {
    SourceScript script;
    script.listed = {{320, 240}};
    script.frames = Frames(2, 320, 240);
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    // Each of these would make frames larger than the connected samples.
    control_->SetMultipleMode(TRUE);
    control_->SetMultiple(4, 4);
    control_->SetOutputSize(1280, 960);
    const CMediaType proposal = ProposedType();  // a graph tool enumerating the connected pin
    ASSERT_TRUE(proposal.IsValid());
    EXPECT_EQ(1280, BitmapHeaderOf(proposal)->biWidth);
    EXPECT_EQ(320, OutputWidth()) << "the connected type stays";
    ASSERT_EQ(S_OK, RunToEnd());
    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    std::vector<SourceScript::Size>(2, {320, 240}), 320, 240);

    // The next connection takes them.
    ASSERT_EQ(S_OK, graph_.Builder()->Disconnect(Out()));
    ASSERT_EQ(S_OK, graph_.Builder()->Disconnect(sink_->Input()));
    ASSERT_EQ(S_OK, ConnectSink());
    EXPECT_EQ(1280, OutputWidth());
    EXPECT_EQ(960, OutputHeight());
}

TEST_F(PixmorphStream, MultipleModeScalesIntoTheConnectedOutputOnceUpstreamChangedSize) {
    control_->SetMultipleMode(TRUE);
    control_->SetMultiple(2, 2);
    SourceScript script;
    script.listed = {{160, 120}};
    script.frames = Frames(1, 160, 120);
    script.frames.push_back({320, 240, true});
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, RunToEnd());
    const auto received = sink_->Frames();
    ASSERT_EQ(2u, received.size());
    const auto& sent = source_->Delivered();
    EXPECT_TRUE(received[0].bytes == ExpectedOutput(sent[0], MEDIASUBTYPE_YUY2, 160, 120, 320, 240, true, 2, 2));
    // Replicating 320x240 twice would need 640x480: it is scaled to 320x240 instead.
    EXPECT_TRUE(received[1].bytes == ExpectedOutput(sent[1], MEDIASUBTYPE_YUY2, 320, 240, 320, 240));
    EXPECT_EQ(1, ResizeEvents());
}

// A graph tool enumerating the connected output's types makes the filter
// propose again; input changes are still checked against the connected type.
TEST_F(PixmorphStream, InputChangesAreTakenAfterTheConnectedOutputWasEnumerated) {
    SourceScript script;
    script.listed = {{320, 240}};
    script.frames = Frames(1, 320, 240);
    script.frames.push_back({160, 120, true});
    script.frames.push_back({160, 120});
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    control_->SetOutputSize(200, 150);
    ASSERT_TRUE(ProposedType().IsValid());
    const CMediaType small = VideoType(MEDIASUBTYPE_YUY2, 160, 120);
    EXPECT_EQ(S_OK, In()->QueryAccept(&small));
    ASSERT_EQ(S_OK, RunToEnd());
    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    {{320, 240}, {160, 120}, {160, 120}}, 320, 240);
    EXPECT_EQ(1, ResizeEvents());
}

struct DynamicCall {
    IPinConnection* pin;
    const CMediaType* type;
    HRESULT result;
};

DWORD WINAPI CallDynamicQueryAccept(LPVOID parameter) {
    auto* call = static_cast<DynamicCall*>(parameter);
    call->result = call->pin->DynamicQueryAccept(call->type);
    return 0;
}

// An application thread asks while downstream holds a frame, as a paused
// renderer does until that thread runs or stops the graph: the answer comes
// at once, and the frames after the held one are read with the new type.
TEST_F(PixmorphStream, DynamicQueryAcceptDoesNotWaitForAFrameDownstreamHolds) {
    SourceScript script;
    script.listed = {{320, 240}};
    script.frames = Frames(1, 320, 240);
    script.frames.push_back({160, 120});
    script.frames.push_back({160, 120});
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ComPtr<IPinConnection> dynamic;
    ASSERT_EQ(S_OK, In()->QueryInterface(IID_IPinConnection, dynamic.PutVoid()));

    sink_->HoldFrames();
    ASSERT_EQ(S_OK, graph_.Run());
    const bool held = sink_->WaitUntilHolding(10000);
    const CMediaType small = VideoType(MEDIASUBTYPE_YUY2, 160, 120);
    DynamicCall call{dynamic.Get(), &small, E_PENDING};
    // On a thread of its own, so that waiting shows as a late answer, not a
    // hung test. This thread pumps meanwhile, as an application's does: the
    // trace's window lookup may ask this thread's windows for their titles.
    const HANDLE thread = CreateThread(nullptr, 0, CallDynamicQueryAccept, &call, 0, nullptr);
    auto ended = [&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; };
    const bool answered = thread && harness::WaitUntil(ended, 5000);
    sink_->ReleaseFrames();
    if (thread) {
        if (!harness::WaitUntil(ended, 30000)) WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    ASSERT_TRUE(held) << "no frame reached the sink";
    EXPECT_TRUE(answered) << "DynamicQueryAccept waited for the frame downstream holds";
    EXPECT_EQ(S_OK, call.result);
    EXPECT_TRUE(sink_->WaitForEndOfStream(10000));
    EXPECT_EQ(S_OK, graph_.Stop());
    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    {{320, 240}, {160, 120}, {160, 120}}, 320, 240);
    EXPECT_EQ(1, ResizeEvents());
}

TEST_F(PixmorphStream, DynamicQueryAcceptChangesTheInputTypeWithoutReconnection) {
    SourceScript script;
    script.listed = {{320, 240}};
    script.frames = Frames(2, 160, 120);
    ASSERT_EQ(S_OK, ConnectSource(script));
    ASSERT_EQ(S_OK, ConnectSink());
    ComPtr<IPinConnection> dynamic;
    ASSERT_EQ(S_OK, In()->QueryInterface(IID_IPinConnection, dynamic.PutVoid()));
    CMediaType wave = VideoType(MEDIASUBTYPE_YUY2, 160, 120);
    wave.SetFormatType(&FORMAT_WaveFormatEx);
    EXPECT_EQ(E_INVALIDARG, dynamic->DynamicQueryAccept(&wave));
    const CMediaType small = VideoType(MEDIASUBTYPE_YUY2, 160, 120);
    ASSERT_EQ(S_OK, dynamic->DynamicQueryAccept(&small));
    ASSERT_EQ(S_OK, RunToEnd());
    ExpectConverted(sink_->Frames(), source_->Delivered(), MEDIASUBTYPE_YUY2,
                    std::vector<SourceScript::Size>(2, {160, 120}), 320, 240);
    EXPECT_EQ(0, ResizeEvents()) << "the change came before streaming started";
}

}  // namespace
}  // namespace pixmorph_test
