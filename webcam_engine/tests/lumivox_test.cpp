// Lumivox driven through its exports as the virtual webcam application drives
// it, on the registered test camera, with the effect filter's double standing
// in where a test needs one; what the graph sends is read from the frame
// channel, as the virtual webcam device reads it.
#include <windows.h>
#include <dshow.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "dshow_base/com_ptr.h"
#include "media/frame_channel/tests/channel_watch.h"
#include "test_devices/test_device_client.h"
#include "test_devices/tests/capture_graph.h"
#include "test_devices/tests/device_listing.h"
#include "testing/window_harness/trace_window.h"
#include "webcam_engine/lumivox.h"
#include "webcam_engine/tests/effect_double.h"

namespace {

using channel_test::ChannelWatch;
using channel_test::SentFrame;
using lumivox_test::ScopedEffectDouble;

const char* const kExports[] = {
    "Initialize_Lumivox", "Unintialize_Lumivox", "GetVideoCaptureDev", "RenderDevice",
    "GetVideoSize",       "SetVideoSize",        "SetEffectType",      "SetStaticFrame",
    "SetGifFrame",        "SetFlashFrame",       "GetFirstFrame",
};

std::set<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (dir.VirtualAddress == 0) return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

TEST(LumivoxExports, ExactlyTheElevenPlainNamesAndImportsBindToThem) {
    const HMODULE module = GetModuleHandleW(L"Lumivox.dll");
    ASSERT_NE(module, nullptr);
    const std::set<std::string> names = ExportedNames(module);
    for (const char* name : kExports) EXPECT_EQ(names.count(name), 1u) << name;
    EXPECT_EQ(names.size(), std::size(kExports));
    EXPECT_EQ(reinterpret_cast<FARPROC>(&Unintialize_Lumivox), GetProcAddress(module, "Unintialize_Lumivox"));
}

TEST(LumivoxLifecycle, InitialiseAndUninitialiseAnyNumberOfTimes) {
    // Without an engine every engine export answers 0 and nothing breaks.
    tag_VideoSize size{320, 240};
    EXPECT_EQ(RenderDevice(0), 0);
    EXPECT_EQ(SetVideoSize(&size), 0);
    EXPECT_EQ(SetEffectType(1), 0);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Initialize_Lumivox(), 1);
        EXPECT_EQ(Unintialize_Lumivox(), 1);
    }
    EXPECT_EQ(Unintialize_Lumivox(), 1);
}

class LumivoxTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Initialize_Lumivox(), 1); }
    void TearDown() override { EXPECT_EQ(Unintialize_Lumivox(), 1); }

    // A frame published after this call, with the test pattern's number in it.
    SentFrame NextSentFrame() {
        SentFrame frame;
        const uint64_t after = watch_.LatestSequence();
        EXPECT_TRUE(watch_.WaitForFrame(after, 5000, &frame)) << "no frame reached the video send filter";
        return frame;
    }

    ChannelWatch watch_;
};

TEST_F(LumivoxTest, DeviceListInTheSharedFormat) {
    test_devices::ScopedTestDevices devices(L"cameras=2;camera1.name=Zweite Kamera");
    ASSERT_EQ(devices.Result(), S_OK);
    unsigned short count = 99;
    wchar_t names[LUMIVOX_DEVICE_LIST_UNITS];
    std::fill(std::begin(names), std::end(names), L'#');
    ASSERT_EQ(GetVideoCaptureDev(&count, names), 1);
    EXPECT_EQ(count, 2);
    const std::wstring expected = L"Talvoro Test Camera\nZweite Kamera\n";
    EXPECT_EQ(std::wstring(names, expected.size()), expected);
    EXPECT_EQ(names[expected.size()], L'\0');
    EXPECT_EQ(names[expected.size() + 1], L'#');
}

// The named topology, read back from the graph `member` sits in.
void ExpectTopology(IBaseFilter* member) {
    ASSERT_NE(member, nullptr);
    FILTER_INFO info{};
    ASSERT_EQ(member->QueryFilterInfo(&info), S_OK);
    ComPtr<IFilterGraph> graph;
    graph.Attach(info.pGraph);
    ASSERT_TRUE(graph);
    // Name of the filter feeding `name`'s input.
    auto upstreamOf = [&](const wchar_t* name) {
        ComPtr<IBaseFilter> filter;
        EXPECT_EQ(graph->FindFilterByName(name, filter.Put()), S_OK) << "no filter named " << name;
        ComPtr<IEnumPins> pins;
        filter->EnumPins(pins.Put());
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
            PIN_DIRECTION dir;
            pin->QueryDirection(&dir);
            ComPtr<IPin> peer;
            if (dir != PINDIR_INPUT || FAILED(pin->ConnectedTo(peer.Put()))) continue;
            PIN_INFO peerInfo{};
            peer->QueryPinInfo(&peerInfo);
            FILTER_INFO upstream{};
            peerInfo.pFilter->QueryFilterInfo(&upstream);
            if (upstream.pGraph) upstream.pGraph->Release();
            peerInfo.pFilter->Release();
            return std::wstring(upstream.achName);
        }
        return std::wstring();
    };
    EXPECT_EQ(upstreamOf(L"Effect Filter"), L"Video Capture");
    EXPECT_EQ(upstreamOf(L"InfPin Filter"), L"Effect Filter");
    EXPECT_EQ(upstreamOf(L"Null Render"), L"InfPin Filter");
    EXPECT_EQ(upstreamOf(L"Video Send Filter"), L"InfPin Filter");
    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
    OAFilterState state = State_Stopped;
    control->GetState(0, &state);
    EXPECT_EQ(state, State_Running);
}

TEST_F(LumivoxTest, RenderDeviceBuildsTheNamedGraphAndItsFramesReachTheChannel) {
    ScopedEffectDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    ASSERT_EQ(RenderDevice(0), 1);
    ExpectTopology(effect.LastFilter().Get());
    SentFrame first = NextSentFrame();
    ASSERT_TRUE(first.counter.has_value());
    SentFrame later = NextSentFrame();
    ASSERT_TRUE(later.counter.has_value());
    EXPECT_GT(*later.counter, *first.counter);
    EXPECT_EQ(later.format.format, pixel_formats::PixelFormat::kRgb24);
    EXPECT_EQ(later.format.width, 640);

    // Twice: stopped, rebuilt, running again.
    ASSERT_EQ(RenderDevice(0), 1);
    SentFrame again = NextSentFrame();
    EXPECT_TRUE(again.counter.has_value());
    EXPECT_GT(again.sequence, later.sequence);
    ExpectTopology(effect.LastFilter().Get());
}

TEST_F(LumivoxTest, ADeviceHeldByAnotherProgramFailsWithTheGraphStopped) {
    test_devices::ScopedTestDevices devices(L"camera0.exclusive=1");
    ASSERT_EQ(devices.Result(), S_OK);
    ScopedEffectDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    // The other program: a graph of its own running the same camera.
    ComPtr<IBaseFilter> camera;
    ASSERT_EQ(test_devices::CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &camera), S_OK);
    auto other = std::make_unique<test_devices::CaptureGraph>();
    ASSERT_EQ(other->Build(camera.Get()), S_OK);
    ASSERT_TRUE(SUCCEEDED(other->Run()));
    ASSERT_GT(other->WaitForFirstSample(), 0.0);

    const uint64_t before = watch_.LatestSequence();
    harness::TraceWindow trace;
    EXPECT_EQ(RenderDevice(0), 0);
    // The trace channel says which step failed.
    EXPECT_TRUE(trace.HasLineWith({"BuildAndRun: Run() failed with HRESULT 0x"}));
    ComPtr<IBaseFilter> member = effect.LastFilter();
    ASSERT_TRUE(member);
    FILTER_INFO info{};
    ASSERT_EQ(member->QueryFilterInfo(&info), S_OK);
    ComPtr<IFilterGraph> graph;
    graph.Attach(info.pGraph);
    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
    OAFilterState state = State_Running;
    EXPECT_EQ(control->GetState(1000, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    SentFrame frame;
    EXPECT_FALSE(watch_.WaitForFrame(before, 300, &frame)) << "a refused graph sent a frame";

    // Once the other program lets go, the same call succeeds.
    other->Stop();
    other.reset();
    camera.Reset();
    EXPECT_EQ(RenderDevice(0), 1);
    EXPECT_TRUE(NextSentFrame().counter.has_value());
}

TEST_F(LumivoxTest, SetVideoSizeNeedsTheGraphThenChangesWhatIsSent) {
    ScopedEffectDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    const tag_VideoSize small{320, 240};
    EXPECT_EQ(SetVideoSize(&small), 0);
    ASSERT_EQ(RenderDevice(0), 1);
    ASSERT_EQ(SetVideoSize(&small), 1);
    SentFrame frame = NextSentFrame();
    EXPECT_EQ(frame.format.width, 320);
    EXPECT_EQ(std::abs(frame.format.height), 240);
    EXPECT_TRUE(frame.counter.has_value());
    const tag_VideoSize odd{333, 222};
    EXPECT_EQ(SetVideoSize(&odd), 0) << "a size the camera does not offer";

    int count = -1, current = -1;
    tag_VideoSize sizes[LUMIVOX_MAX_VIDEO_SIZES] = {};
    ASSERT_EQ(GetVideoSize(&count, &current, sizes), 1);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(sizes[0].width, 160);
    EXPECT_EQ(sizes[3].width, 1280);
    EXPECT_EQ(sizes[current].width, 320);
}

TEST_F(LumivoxTest, GetVideoSizeListsOnlyRgb24Sizes) {
    test_devices::ScopedTestDevices devices(L"camera0.rgb=0");
    ASSERT_EQ(devices.Result(), S_OK);
    ScopedEffectDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    // A device reselected after the device set changed.
    ASSERT_EQ(RenderDevice(0), 1);
    int count = -1, current = -1;
    tag_VideoSize sizes[LUMIVOX_MAX_VIDEO_SIZES] = {};
    EXPECT_EQ(GetVideoSize(&count, &current, sizes), 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(current, 0);
}

TEST_F(LumivoxTest, EffectCallsNeedTheFilterAndPassTheirArgumentsUnchanged) {
    BYTE thumbnail[112 * 80 * 3] = {};
    // No effect filter yet: nothing to pass to.
    EXPECT_EQ(SetEffectType(5), 0);
    EXPECT_EQ(SetStaticFrame(L"frame.bmp", 0, 0), 0);
    EXPECT_EQ(GetFirstFrame(L"frame.bmp", 112, 80, thumbnail, 255, 255, 255), 0);

    ScopedEffectDouble effect;
    ASSERT_EQ(effect.Result(), S_OK);
    ASSERT_EQ(RenderDevice(0), 1);
    EXPECT_EQ(SetEffectType(5), 1);
    EXPECT_EQ(SetEffectType(0), 1);
    EXPECT_EQ(SetEffectType(99), 0) << "the filter's refusal reaches the caller";
    EXPECT_EQ(SetStaticFrame(L"C:\\Frames\\a.bmp", 3, 4), 1);
    EXPECT_EQ(SetGifFrame(L"b.gif", 0, 0), 1);
    EXPECT_EQ(SetFlashFrame(L"c.swf", 7, 8), 1);
    EXPECT_EQ(GetFirstFrame(L"d.bmp", 112, 80, thumbnail, 255, 254, 253), 1);
    EXPECT_EQ(thumbnail[0], 255);
    EXPECT_EQ(thumbnail[sizeof thumbnail - 1], 253);

    const std::vector<lumivox_test::EffectCall> calls = effect.Calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].method, "SetEffectType");
    EXPECT_EQ(calls[0].values[0], 5);
    EXPECT_EQ(calls[1].values[0], 0);
    EXPECT_EQ(calls[2].values[0], 99);
    EXPECT_EQ(calls[3].method, "SetStaticFrame");
    EXPECT_EQ(calls[3].file, L"C:\\Frames\\a.bmp");
    EXPECT_EQ(calls[3].values[0], 3);
    EXPECT_EQ(calls[3].values[1], 4);
    EXPECT_EQ(calls[4].method, "SetGifFrame");
    EXPECT_EQ(calls[4].file, L"b.gif");
    EXPECT_EQ(calls[5].method, "SetFlashFrame");
    EXPECT_EQ(calls[5].values[1], 8);
    EXPECT_EQ(calls[6].method, "GetFirstFrame");
    EXPECT_EQ(calls[6].file, L"d.bmp");
    const int expected[] = {112, 80, 255, 254, 253};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(calls[6].values[i], expected[i]) << i;
    EXPECT_EQ(calls[6].buffer, thumbnail);
    // The graph still runs after all of it.
    EXPECT_TRUE(NextSentFrame().counter.has_value());
}

}  // namespace
