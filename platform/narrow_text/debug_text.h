// The one trace channel of the programs, the engines and the filters: a
// printf-style line in the ANSI code page, sent with WM_SETTEXT to the
// top-level window titled "DebugHelper " (trailing blank) when one exists.
// Without that window nothing is formatted and nothing is sent.
#pragma once

void SendDebugText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
