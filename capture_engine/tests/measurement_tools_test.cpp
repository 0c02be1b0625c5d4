// The instruments of the cycle test must see what they claim to: a handle,
// a committed page, a heap block, a window, an object kept alive.
#include <windows.h>
#include <dshow.h>

#include <vector>

#include <gtest/gtest.h>

#include "dshow_base/com_ptr.h"
#include "instance_census.h"
#include "process_resources.h"

namespace korvel_test {
namespace {

TEST(MeasurementTools, HandleCountFollowsOpenAndClose) {
    const unsigned before = MeasureProcessResources().handles;
    ASSERT_GT(before, 0u);
    std::vector<HANDLE> events;
    for (int i = 0; i < 40; ++i) events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(MeasureProcessResources().handles, before + 40);
    for (HANDLE e : events) CloseHandle(e);
    EXPECT_EQ(MeasureProcessResources().handles, before);
}

TEST(MeasurementTools, PrivateBytesCountCommittedPagesOnly) {
    const size_t before = MeasureProcessResources().privateBytes;
    const size_t size = 8 << 20;
    void* reserved = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_READWRITE);
    ASSERT_TRUE(reserved);
    const size_t afterReserve = MeasureProcessResources().privateBytes;
    ASSERT_TRUE(VirtualAlloc(reserved, size, MEM_COMMIT, PAGE_READWRITE));
    const size_t afterCommit = MeasureProcessResources().privateBytes;
    VirtualFree(reserved, 0, MEM_RELEASE);
    EXPECT_LT(afterReserve, before + size / 8) << "reserving commits nothing";
    EXPECT_GE(afterCommit, before + size);
    EXPECT_LT(MeasureProcessResources().privateBytes, before + size / 8);
}

TEST(MeasurementTools, HeapBytesCountBlocksInUse) {
    const size_t before = MeasureProcessResources().heapBytes;
    std::vector<void*> blocks;
    for (int i = 0; i < 64; ++i) blocks.push_back(HeapAlloc(GetProcessHeap(), 0, 16384));
    const size_t during = MeasureProcessResources().heapBytes;
    for (void* b : blocks) HeapFree(GetProcessHeap(), 0, b);
    EXPECT_GE(during, before + 64 * 16384);
    EXPECT_LT(MeasureProcessResources().heapBytes, before + 64 * 16384 / 2);
}

TEST(MeasurementTools, WindowCountIncludesChildren) {
    // Wine keeps a hidden window beside the first one of a thread, so one
    // lives through the whole comparison.
    const HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                    nullptr);
    ASSERT_TRUE(host);
    const unsigned before = MeasureProcessResources().windows;
    const HWND top = CreateWindowW(L"STATIC", L"census", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                   nullptr);
    ASSERT_TRUE(top);
    CreateWindowW(L"STATIC", L"child", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    EXPECT_EQ(MeasureProcessResources().windows, before + 2);
    DestroyWindow(top);
    EXPECT_EQ(MeasureProcessResources().windows, before);
    DestroyWindow(host);
}

TEST(MeasurementTools, CensusSeesObjectsHeldByOthers) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        const CLSID classes[] = {CLSID_FilterGraph};
        InstanceCensus census(classes, 1);
        ASSERT_EQ(census.Result(), S_OK);
        ComPtr<IGraphBuilder> kept, dropped;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   kept.PutVoid()),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   dropped.PutVoid()),
                  S_OK);
        dropped.Reset();
        EXPECT_EQ(census.Created(), 2);
        EXPECT_EQ(census.ReleaseAndCountHeldElsewhere(), 1);
        EXPECT_EQ(census.ReleaseAndCountHeldElsewhere(), 0) << "each kept reference is released once";
    }
    CoUninitialize();
}

}  // namespace
}  // namespace korvel_test
