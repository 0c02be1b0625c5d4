// 200 engine cycles in one process, each as the capture application would
// run it: preview build into a window, run, snapshot, 1 s of AVI recording,
// stop, teardown. After a warm-up the process may hold no more handles,
// private memory or heap than 1 % above what it held then, and no object the
// engine created may still be referenced once the engine let go.
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "engine_test_support.h"
#include "filters/snapshot/snapshot_api.h"
#include "instance_census.h"
#include "process_resources.h"
#include "test_devices/test_device_ids.h"

namespace korvel_test {
namespace {

constexpr int kWarmUpCycles = 10;
constexpr double kAllowedGrowthPercent = 1.0;

// Every class the engine's capture graph creates in these cycles.
const CLSID kEngineClasses[] = {CLSID_FilterGraph,  CLSID_VideoRendererDefault,      CLSID_SnapshotFilter,
                                CLSID_InfTee,       CLSID_Colour,                    CLSID_AviDest,
                                CLSID_FileWriter,   test_devices::kCameraClsids[0], test_devices::kMicrophoneClsids[0]};
const wchar_t* const kOurModules[] = {L"TestDevices.ax", L"Snapshot.ax", L"SystemFilters.ax"};

int CycleCount() {
    const char* count = std::getenv("KORVEL_LEAK_CYCLES");  // shorter runs while investigating
    return count && std::atoi(count) > kWarmUpCycles ? std::atoi(count) : 200;
}

struct CycleOutcome {
    int created = 0;        // objects of the engine's classes made in the cycle
    int heldElsewhere = 0;  // of those, still referenced after Graph_Uninitialize
};

// The first frame reaches the snapshot filter a little after Run.
bool SnapshotOnceFramesArrive(const std::wstring& path) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 3000) {
        if (CaptureBitmap(path.c_str(), 1, 0)) return true;
        PumpFor(20);
    }
    return false;
}

void RunEngineCycle(const TestWindow& window, CycleOutcome* outcome) {
    const std::wstring still = OutputPath(L"korvel-cycle.bmp"), clip = OutputPath(L"korvel-cycle.avi");
    DeleteFileW(still.c_str());
    DeleteFileW(clip.c_str());
    InstanceCensus census(kEngineClasses, std::size(kEngineClasses));
    ASSERT_EQ(census.Result(), S_OK);

    ASSERT_EQ(Graph_Initialize(), 1);
    ASSERT_EQ(SetVideoDevice(0), 1);
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
    ASSERT_TRUE(SnapshotOnceFramesArrive(still));
    ASSERT_EQ(RunRecord(clip.c_str(), 1, 0, 1), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(1000);
    ASSERT_EQ(StopRecord(), 1);
    ASSERT_EQ(StopGraph(), 1);
    ASSERT_EQ(TearDownGraph(), 1);
    ASSERT_EQ(Graph_Uninitialize(), 1);

    outcome->created = census.Created();
    outcome->heldElsewhere = census.ReleaseAndCountHeldElsewhere();
    EXPECT_EQ(FileSize(still), 54 + 640 * 480 * 3) << "a 640x480 24-bit BMP";
    EXPECT_GT(FileSize(clip), 10 * 640 * 480 * 2) << "at least 10 frames of 640x480 YUY2";
    DeleteFileW(still.c_str());
    DeleteFileW(clip.c_str());
}

// What a cycle asks of the platform besides the engine's own objects: a
// filter graph, and both device categories enumerated with their first
// device bound. Wine keeps a little of each (an event per filter graph,
// registry keys per device enumeration); these calls alone show how much,
// so that only the rest counts against the engine. Windows keeps nothing.
void BindFirstDevice(REFCLSID category) {
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    ComPtr<IMoniker> moniker;
    ComPtr<IPropertyBag> bag;
    ComPtr<IBaseFilter> device;
    ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                               devices.PutVoid()),
              S_OK);
    ASSERT_EQ(devices->CreateClassEnumerator(category, monikers.Put(), 0), S_OK);
    ASSERT_EQ(monikers->Next(1, moniker.Put(), nullptr), S_OK);
    ASSERT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()), S_OK);
    ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, device.PutVoid()), S_OK);
}

void RepeatPlatformCallsOfACycle(int times) {
    for (int i = 0; i < times; ++i) {
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.PutVoid()),
                  S_OK);
        ASSERT_NO_FATAL_FAILURE(BindFirstDevice(CLSID_VideoInputDeviceCategory));
        ASSERT_NO_FATAL_FAILURE(BindFirstDevice(CLSID_AudioInputDeviceCategory));
    }
}

void ExpectOurModulesIdle() {
    for (const wchar_t* module : kOurModules) EXPECT_TRUE(ModuleCanUnload(module)) << "live objects in " << module;
}

void Print(const char* label, int cycle, const ProcessResources& r, const CycleOutcome& o) {
    std::printf("%-8s after cycle %3d: handles %u, private bytes %zu, heap bytes %zu, address space %zu, "
                "windows %u, objects created %d, still referenced %d\n",
                label, cycle, r.handles, r.privateBytes, r.heapBytes, r.addressSpace, r.windows, o.created,
                o.heldElsewhere);
    std::fflush(stdout);
}

// Growth from the warm-up to the end beyond what the platform kept in the
// same number of its own calls, in per cent of the warm-up figure.
double EngineGrowthPercent(const char* what, double warm, double end, double platformKept) {
    std::printf("%s\n", DescribeGrowth(what, warm, end).c_str());
    std::printf("  platform calls alone kept %+.0f; the engine's part %+.0f\n", platformKept,
                end - warm - platformKept);
    return GrowthPercent(warm, end - platformKept);
}

// The cycles create and end engines themselves; this apartment outlives
// them so that COM keeps the modules loaded and what is measured is the
// engine's doing, not libraries coming and going.
class KorvelCycles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override {
        Graph_Uninitialize();  // after a failed cycle
        CoUninitialize();
    }
};

TEST_F(KorvelCycles, PreviewSnapshotRecordTeardownLeaveNothingBehind) {
    const int cycles = CycleCount();
    TestWindow window(320, 240);
    ASSERT_TRUE(window.Handle());
    ProcessResources warm;
    CycleOutcome outcome, warmOutcome;
    int heldInAll = 0;
    DWORD slowest = 0;
    const DWORD start = GetTickCount();
    DWORD warmTime = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        SCOPED_TRACE(testing::Message() << "cycle " << cycle);
        const DWORD cycleStart = GetTickCount();
        ASSERT_NO_FATAL_FAILURE(RunEngineCycle(window, &outcome));
        slowest = std::max(slowest, GetTickCount() - cycleStart);
        heldInAll += outcome.heldElsewhere;
        ExpectOurModulesIdle();
        if (cycle == kWarmUpCycles) {
            warm = MeasureProcessResources();
            warmOutcome = outcome;
            warmTime = GetTickCount();
            Print("warm-up", cycle, warm, outcome);
        } else if (cycle % 50 == 0 && cycle != cycles) {
            Print("", cycle, MeasureProcessResources(), outcome);
        }
    }
    const ProcessResources end = MeasureProcessResources();
    Print("end", cycles, end, outcome);
    const DWORD now = GetTickCount();
    std::printf("%d cycles in %.1f s: %.2f s per cycle after the warm-up, slowest %.2f s\n", cycles,
                (now - start) / 1000.0, (now - warmTime) / 1000.0 / (cycles - kWarmUpCycles), slowest / 1000.0);

    ASSERT_NO_FATAL_FAILURE(RepeatPlatformCallsOfACycle(cycles - kWarmUpCycles));
    const ProcessResources platform = MeasureProcessResources();
    EXPECT_LE(EngineGrowthPercent("handles", warm.handles, end.handles, double(platform.handles) - end.handles),
              kAllowedGrowthPercent);
    EXPECT_LE(EngineGrowthPercent("private bytes", double(warm.privateBytes), double(end.privateBytes),
                                  double(platform.privateBytes) - double(end.privateBytes)),
              kAllowedGrowthPercent);
    EXPECT_LE(EngineGrowthPercent("heap bytes", double(warm.heapBytes), double(end.heapBytes),
                                  double(platform.heapBytes) - double(end.heapBytes)),
              kAllowedGrowthPercent);
    EXPECT_LE(end.windows, warm.windows);
    EXPECT_EQ(heldInAll, 0) << "objects the engine created were still referenced after Graph_Uninitialize";
    EXPECT_EQ(outcome.created, warmOutcome.created) << "the last cycle built another graph than the warm-up";
}

}  // namespace
}  // namespace korvel_test
