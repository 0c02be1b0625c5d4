// Real mouse input (SendInput): the system moves the cursor and delivers the
// messages to whichever window is under it, so mouse tracking, hover and
// double clicks behave as with a user's hand. The window must be visible and
// not covered.
#pragma once

#include <windows.h>

namespace harness {

void MoveMouseTo(POINT screenPoint);
// To the centre of the window.
void MoveMouseOnto(HWND window);
// To a point just outside the window's lower right corner.
void MoveMouseOff(HWND window);

void PressLeftButton();
void ReleaseLeftButton();
// Moves onto the window's centre and clicks there once or twice (a double
// click within the system's double-click time).
void Click(HWND window);
void DoubleClick(HWND window);

}  // namespace harness
