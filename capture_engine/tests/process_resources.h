// What a process holds, measured with calls that answer under Wine too:
// its accounting calls (GetProcessHandleCount, the private-usage counter)
// answer 0 there, so handles are probed one by one and memory is walked.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace korvel_test {

struct ProcessResources {
    unsigned handles = 0;         // kernel handles open in this process
    size_t privateBytes = 0;      // committed pages private to the process
    size_t addressSpace = 0;      // bytes of address space reserved or committed, of any kind
    size_t heapBytes = 0;         // blocks in use on every heap of the process
    unsigned windows = 0;         // windows of the process, children included
};

ProcessResources MeasureProcessResources();

// Whether a module of the process (by file name) has no live objects, as its
// DllCanUnloadNow says; true when it is not loaded at all.
bool ModuleCanUnload(const wchar_t* moduleName);

// One line comparing a figure before and after: both values, the change and
// the change in per cent.
std::string DescribeGrowth(const char* what, double before, double after);

// Growth from before to after in per cent of before; 0 when it shrank.
double GrowthPercent(double before, double after);

}  // namespace korvel_test
