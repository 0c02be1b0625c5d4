#include "dshow_base/debug.h"

#include <cstdio>

namespace {
// Installed by tests before streaming starts, so a plain pointer is enough.
DbgAssertHook g_hook = nullptr;
}

DbgAssertHook SetDbgAssertHook(DbgAssertHook hook) {
    const DbgAssertHook previous = g_hook;
    g_hook = hook;
    return previous;
}

void DbgAssert(const char* condition, const char* file, int line) {
    char text[512];
    std::snprintf(text, sizeof text, "ASSERT failed: %s at %s(%d)\n", condition, file, line);
    OutputDebugStringA(text);
    if (const DbgAssertHook hook = g_hook) hook(condition, file, line);
}
