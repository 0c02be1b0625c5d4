#include "app_toolkit/narrow_platform.h"

#include <share.h>
#include <windows.h>

namespace ini_platform {

// Deny-none, so a settings file another program holds open still loads.
std::FILE* OpenShared(const std::string& path, const char* mode) { return _fsopen(path.c_str(), mode, _SH_DENYNO); }

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace ini_platform
