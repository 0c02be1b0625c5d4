// Pieces of a program's main dialog that both programs handle alike: the
// About entry of the system menu and the picture of the minimised window.
#pragma once

#include <windows.h>

#include "dialog_framework/window_handle.h"

// Appends a separator and the entry `commandId` with the string resource
// `textId` to the window's system menu; nothing when the string is missing
// or empty.
void AppendAboutItem(CWindow& window, UINT textId, UINT commandId);

// While the window is minimised, paints its icon in the middle of the client
// area and returns true; otherwise leaves the paint to the caller.
bool PaintMinimisedIcon(CWindow& window, HICON icon);
