// Finding the windows of the program under test: top-level windows by title,
// controls by id, and message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace harness {

// A visible top-level window with exactly this title; processId 0 means any
// process. nullptr when none appeared within timeoutMs.
HWND FindTopLevelWindow(const std::wstring& title, DWORD timeoutMs, DWORD processId = 0);

// The control with this id among parent's children, or anywhere below them
// (pages inside a dialog); nullptr when there is none.
HWND FindControl(HWND parent, int id);

// Until the control's top edge sits fromBottom pixels above the bottom of
// its parent's client area, the window not minimised: a program that lays
// its controls out by the window's size at each paint has painted.
bool WaitForControlTop(HWND window, int id, int fromBottom, DWORD timeoutMs);

// The first window of the class anywhere below parent (the edit inside a
// combo box, say); nullptr when there is none.
HWND FindDescendantOfClass(HWND parent, const std::wstring& className);

// The system's message box: title, text and the window to answer.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
};

// Waits for a visible, enabled message box of the process (0: any process);
// with owner given, only one owned by that window. window is nullptr when
// none came within timeoutMs.
MessageBoxInfo WaitForMessageBox(DWORD timeoutMs, DWORD processId = 0, HWND owner = nullptr);

// Presses the box's button with this id (IDOK, IDCANCEL, IDYES, IDNO, ...);
// false when the box has no such button.
bool AnswerMessageBox(HWND box, int buttonId);

}  // namespace harness
