// SendDebugText: a printf-style trace line sent with WM_SETTEXT to a
// top-level window titled "DebugHelper " (trailing blank) when one exists.
#pragma once

void SendDebugText(const wchar_t* format, ...);
