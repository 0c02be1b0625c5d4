// Assertions compiled in regardless of the build type, to test the hook.
#undef NDEBUG
#include "dshow_base/debug.h"

#include <string>

#include <gtest/gtest.h>

namespace {
int g_failures = 0;
std::string g_condition;
int g_line = 0;

void Record(const char* condition, const char*, int line) {
    ++g_failures;
    g_condition = condition;
    g_line = line;
}

TEST(DebugTest, FailedAssertReachesTheHookAndExecutionContinues) {
    const DbgAssertHook previous = SetDbgAssertHook(&Record);
    g_failures = 0;
    int value = 2;
    ASSERT(value == 2);
    EXPECT_EQ(0, g_failures);
    const int line = __LINE__ + 1;
    ASSERT(value == 3);
    EXPECT_EQ(1, g_failures);
    EXPECT_EQ("value == 3", g_condition);
    EXPECT_EQ(line, g_line);
    EXPECT_EQ(&Record, SetDbgAssertHook(previous));
}
}  // namespace
