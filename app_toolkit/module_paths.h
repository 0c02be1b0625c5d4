// Paths of the programs' files: everything lies beside the executable, as
// GetModuleDir() + a name beginning with a backslash ("\config.ini").
#pragma once

#include <windows.h>

#include "dialog_framework/wide_string.h"

// The running program's folder, without a trailing backslash.
CString GetModuleDir();

// True when the path names an existing folder; '/' counts as '\'.
bool DirectoryExists(LPCWSTR path);

// Creates the folder and any missing parents. True when the folder exists
// afterwards. A path without a backslash has no parent and fails unless it
// exists already; an empty path, and one of MAX_PATH characters or more,
// fails without making anything.
bool CreateDirectoryTree(LPCWSTR path);
