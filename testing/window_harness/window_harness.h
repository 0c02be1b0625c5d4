// Driving real windows from a test: finding them, working their controls and
// the mouse, answering message boxes and reading back what they show.
#pragma once

#include "testing/window_harness/control_access.h"
#include "testing/window_harness/mouse_input.h"
#include "testing/window_harness/pixel_capture.h"
#include "testing/window_harness/programs.h"
#include "testing/window_harness/waiting.h"
#include "testing/window_harness/window_finder.h"
