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

bool CursorAt(POINT p) {
    POINT now{};
    GetCursorPos(&now);
    return now.x == p.x && now.y == p.y;
}

}  // namespace

void MoveMouseTo(POINT screenPoint) {
    // The cursor is placed exactly, then moved by nothing so that the window
    // under it hears of it as of any mouse movement. The display may still
    // report an earlier placement afterwards and pull the cursor back (under
    // X the window's thread hears of every warp late): place it again until
    // it stays.
    for (int attempt = 0; attempt < 25; ++attempt) {
        SetCursorPos(screenPoint.x, screenPoint.y);
        SendMouse(MOUSEEVENTF_MOVE);
        Sleep(30);
        if (CursorAt(screenPoint)) {
            Sleep(30);
            if (CursorAt(screenPoint)) return;
        }
    }
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
