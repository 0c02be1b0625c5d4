// The trace channel shared with the capture application: narrow printf-style
// text sent with WM_SETTEXT to a top-level window titled "DebugHelper "
// (trailing blank), when one exists. Without that window nothing happens.
#pragma once

void SendDebugText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
