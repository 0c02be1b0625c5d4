// What the settings file needs from the platform: a file opened so that other
// processes may read and write it meanwhile, and the narrow code page's
// two-byte characters. Host builds read plain files and a one-byte code page.
#pragma once

#include <cstdio>
#include <string>

namespace ini_platform {

// mode as for fopen ("rb", "wb"); nullptr when the file cannot be opened.
std::FILE* OpenShared(const std::string& path, const char* mode);

// True when the byte starts a two-byte character of the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

}  // namespace ini_platform
