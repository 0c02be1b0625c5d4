#include "testing/window_harness/mouse_input.h"

namespace harness {
namespace {

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

POINT Centre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

void MoveMouseTo(POINT screenPoint) {
    // Placing the cursor exactly, then a move of nothing so that the window
    // under it hears of it as of any mouse movement.
    SetCursorPos(screenPoint.x, screenPoint.y);
    SendMouse(MOUSEEVENTF_MOVE);
}

void MoveMouseOnto(HWND window) { MoveMouseTo(Centre(window)); }

void MoveMouseOff(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MoveMouseTo(POINT{r.right + 8, r.bottom + 8});
}

void PressLeftButton() { SendMouse(MOUSEEVENTF_LEFTDOWN); }

void ReleaseLeftButton() { SendMouse(MOUSEEVENTF_LEFTUP); }

void Click(HWND window) {
    MoveMouseOnto(window);
    PressLeftButton();
    ReleaseLeftButton();
}

void DoubleClick(HWND window) {
    MoveMouseOnto(window);
    for (int i = 0; i < 2; ++i) {
        PressLeftButton();
        ReleaseLeftButton();
    }
}

}  // namespace harness
