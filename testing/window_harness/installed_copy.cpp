#include "testing/window_harness/installed_copy.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace harness {

namespace {

// SHFileOperation wants double terminators.
int Shell(UINT operation, const std::wstring& from, const std::wstring& to = L"") {
    const std::wstring from0 = from + L'\0', to0 = to + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = operation;
    op.pFrom = from0.c_str();
    op.pTo = to.empty() ? nullptr : to0.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;
    return SHFileOperationW(&op);
}

}  // namespace

std::wstring BuildFolder(const std::wstring& name) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\'));
    return folder + L"\\..\\" + name;
}

std::wstring OutputFolder() {
    wchar_t buffer[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"WEBCAM_TEST_OUT", buffer, MAX_PATH)) {
        std::wstring folder(buffer);
        for (wchar_t& c : folder)
            if (c == L'/') c = L'\\';  // as the program's own paths spell it
        return folder;
    }
    GetTempPathW(MAX_PATH, buffer);
    std::wstring temp(buffer);
    if (!temp.empty() && temp.back() == L'\\') temp.pop_back();
    return temp;
}

bool KeepForProbe(const std::wstring& file, const std::wstring& name) {
    return CopyFileW(file.c_str(), (OutputFolder() + L"\\" + name).c_str(), FALSE) != FALSE;
}

InstalledCopy::InstalledCopy(const std::wstring& installed, const std::wstring& name,
                             std::initializer_list<const wchar_t*> files)
    : folder_(OutputFolder() + L"\\" + name) {
    Shell(FO_DELETE, folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::wstring from = BuildFolder(installed);
    if (files.size() == 0) Shell(FO_COPY, from + L"\\*", folder_);
    for (const wchar_t* file : files)
        CopyFileW((from + L"\\" + file).c_str(), (folder_ + L"\\" + file).c_str(), FALSE);
}

InstalledCopy::~InstalledCopy() {
    if (::testing::Test::HasFailure())
        std::printf("kept %ls for a look\n", folder_.c_str());
    else
        Shell(FO_DELETE, folder_);
}

void InstalledCopy::WriteFile(const std::wstring& relative, const std::string& bytes) const {
    HANDLE file = CreateFileW((folder_ + L"\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string InstalledCopy::ReadFile(const std::wstring& relative) const {
    return ReadFileBytes(folder_ + L"\\" + relative);
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::vector<std::wstring> FolderFiles(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace harness
