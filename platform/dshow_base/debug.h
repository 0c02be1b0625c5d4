// Debug-build assertions that report and carry on: a filter under test keeps
// running so the graph can still be stopped and torn down.
#pragma once

#include <windows.h>

// Receives every failed assertion; tests install one to count or record them.
using DbgAssertHook = void (*)(const char* condition, const char* file, int line);

// Returns the previous hook; null restores the default (debugger output only).
DbgAssertHook SetDbgAssertHook(DbgAssertHook hook);

void DbgAssert(const char* condition, const char* file, int line);

#ifdef ASSERT
#undef ASSERT
#endif
#ifdef NDEBUG
#define ASSERT(cond) ((void)0)
#else
#define ASSERT(cond) ((cond) ? (void)0 : DbgAssert(#cond, __FILE__, __LINE__))
#endif
