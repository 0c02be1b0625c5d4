// Programs of the build for a test: the build's folders beside the test
// programs' own, and a private copy of an installed layout in the output
// folder, so a test controls every file the program reads and finds every
// file it writes. The copy goes with the object unless the test failed
// (then it stays for a look).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace harness {

// A folder of the build beside the test programs' own (e.g. L"Snapory",
// L"test_apps"), in the ..\ form Windows resolves.
std::wstring BuildFolder(const std::wstring& name);

// Where test results go (WEBCAM_TEST_OUT, else the temporary folder).
std::wstring OutputFolder();
// Copies a produced file to the output folder under name, for ffprobe's checks.
bool KeepForProbe(const std::wstring& file, const std::wstring& name);

// A file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Names of the files (not folders) that match a FindFirstFile pattern.
std::vector<std::wstring> FolderFiles(const std::wstring& pattern);

class InstalledCopy {
public:
    // Copies the listed files of the build folder `installed` (all of it,
    // subfolders too, when none are listed) to the folder `name` below the
    // output folder, which is emptied first.
    InstalledCopy(const std::wstring& installed, const std::wstring& name,
                  std::initializer_list<const wchar_t*> files = {});
    InstalledCopy(const InstalledCopy&) = delete;
    InstalledCopy& operator=(const InstalledCopy&) = delete;
    // End the program first: a running program holds its files.
    ~InstalledCopy();

    const std::wstring& Folder() const { return folder_; }
    // relative: below the folder; its own folders must exist.
    void WriteFile(const std::wstring& relative, const std::string& bytes) const;
    // Empty when the file cannot be read.
    std::string ReadFile(const std::wstring& relative) const;

private:
    std::wstring folder_;
};

}  // namespace harness
