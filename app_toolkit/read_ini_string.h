// One text from a settings file in a single call, as the programs read their
// interface texts: the file is loaded and parsed anew for every call.
#pragma once

#include <windows.h>

#include "dialog_framework/wide_string.h"

// The path is passed in the ANSI code page, cut to 259 bytes. A value is
// taken up to 199 bytes. A missing file, key or empty value leaves dest
// unchanged and returns false.
bool ReadIniString(LPCWSTR path, const char* section, const char* key, CString& dest);
