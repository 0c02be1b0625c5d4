// The export directory of a PE file as stored on disk: the module name the
// linker wrote into it and the exported names, read without loading the file.
#pragma once

#include <string>
#include <vector>

struct PeExports {
    std::string moduleName;
    std::vector<std::string> names;
};

// False when the file cannot be read or has no export directory.
bool ReadPeExports(const std::wstring& path, PeExports* exports);
