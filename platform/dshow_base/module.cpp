#include "dshow_base/module.h"

namespace {
HINSTANCE g_instance = nullptr;  // file-private: callers go through ModuleInstance()

HINSTANCE ModuleOfThisCode() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleOfThisCode), &self);
    return self;
}
}  // namespace

HINSTANCE ModuleInstance() {
    // Without a DLL entry point (an EXE, or before attach) the module that
    // holds this code is the one whose resources belong to it.
    return g_instance ? g_instance : ModuleOfThisCode();
}

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(ModuleInstance(), &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: retry with more room
    }
}
