#include "app_toolkit/narrow_platform.h"

namespace ini_platform {

std::FILE* OpenShared(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool IsAnsiLeadByte(unsigned char) { return false; }

}  // namespace ini_platform
