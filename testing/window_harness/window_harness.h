// Driving real windows from a test: finding them, working their controls and
// the mouse, answering message boxes and reading back what they show.
//
// The program under test runs on a UiThread of the test (framework tests) or
// as an AppProcess (application tests); every call works on both. What a
// window draws reaches the display a little later, and the program handles
// input on its own thread: check results with WaitUntil, not right away.
// Mouse input goes to whatever is on top at the point, so keep the windows
// under test uncovered.
#pragma once

#include "testing/window_harness/control_access.h"
#include "testing/window_harness/installed_copy.h"
#include "testing/window_harness/mouse_input.h"
#include "testing/window_harness/pixel_capture.h"
#include "testing/window_harness/programs.h"
#include "testing/window_harness/trace_window.h"
#include "testing/window_harness/waiting.h"
#include "testing/window_harness/window_finder.h"
