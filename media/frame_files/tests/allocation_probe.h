// Largest amount of memory that operator new held at once since the last
// reset: the test program replaces the global operator new and delete.
#pragma once

#include <cstddef>

namespace frame_test {

void ResetAllocationPeak();
size_t AllocationPeak();  // bytes above what was held at the reset

}  // namespace frame_test
