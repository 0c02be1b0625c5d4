#include "process_resources.h"

#include <cstdint>
#include <cstdio>

namespace korvel_test {
namespace {

// Handle values are multiples of 4 handed out from the bottom of the table;
// a long run of unused values past the last open one means the end of it.
unsigned CountHandles() {
    const uintptr_t kStep = 4, kTailRun = 4096 * kStep, kLimit = uintptr_t(1) << 24;
    unsigned count = 0;
    uintptr_t lastOpen = 0;
    for (uintptr_t value = kStep; value < kLimit && value - lastOpen <= kTailRun; value += kStep) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
            lastOpen = value;
        }
    }
    return count;
}

// Committed private bytes, and all address space in use (a 32-bit process
// runs out of that before it runs out of memory).
void WalkAddressSpace(size_t* privateBytes, size_t* used) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    auto* address = static_cast<const char*>(system.lpMinimumApplicationAddress);
    const auto* end = static_cast<const char*>(system.lpMaximumApplicationAddress);
    *privateBytes = *used = 0;
    MEMORY_BASIC_INFORMATION region;
    while (address < end && VirtualQuery(address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) *privateBytes += region.RegionSize;
        if (region.State != MEM_FREE) *used += region.RegionSize;
        const auto* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
}

size_t HeapBytesInUse(HANDLE heap) {
    size_t total = 0;
    if (!HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    }
    HeapUnlock(heap);
    return total;
}

size_t AllHeapBytesInUse() {
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    size_t total = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) total += HeapBytesInUse(heaps[i]);
    return total;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
    ++*reinterpret_cast<unsigned*>(counter);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<unsigned*>(counter);
    EnumChildWindows(hwnd, CountChild, counter);
    return TRUE;
}

}  // namespace

ProcessResources MeasureProcessResources() {
    ProcessResources r;
    // Handles last: the first window enumeration of a process opens some.
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&r.windows));
    WalkAddressSpace(&r.privateBytes, &r.addressSpace);
    r.heapBytes = AllHeapBytesInUse();
    r.handles = CountHandles();
    return r;
}

bool ModuleCanUnload(const wchar_t* moduleName) {
    const HMODULE module = GetModuleHandleW(moduleName);
    if (!module) return true;
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<CanUnloadNow>(GetProcAddress(module, "DllCanUnloadNow"));
    return canUnload && canUnload() == S_OK;
}

double GrowthPercent(double before, double after) {
    if (after <= before) return 0.0;
    return before > 0 ? (after - before) * 100.0 / before : 100.0;
}

std::string DescribeGrowth(const char* what, double before, double after) {
    char line[160];
    std::snprintf(line, sizeof(line), "%-14s %12.0f -> %12.0f  (%+.0f, %+.2f %%)", what, before, after,
                  after - before, before > 0 ? (after - before) * 100.0 / before : 0.0);
    return line;
}

}  // namespace korvel_test
