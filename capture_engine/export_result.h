// How both engines answer through their flat exports: 1 when the operation's
// HRESULT is not negative, else 0. Without an engine (before initialising,
// after uninitialising or a failed allocation) the answer is 0, and no
// exception leaves the library.
#pragma once

#include <windows.h>

inline int ExportFlag(HRESULT hr) { return SUCCEEDED(hr) ? 1 : 0; }

template <typename Engine, typename Operation>
int OnEngineExport(Engine* engine, Operation operation) {
    if (!engine) return 0;
    try {
        return ExportFlag(operation(*engine));
    } catch (...) {
        return 0;
    }
}
