// The programs find every file beside their executable and create their
// work folders with all parents.
#include <windows.h>

#include <gtest/gtest.h>

#include "app_toolkit/module_paths.h"

namespace {

bool IsFile(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A fresh folder below the temporary folder, removed (with what the test
// made in it) afterwards.
class ScratchFolder : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        root_.Format(L"%smodule_paths_test_%lu", temp, GetCurrentProcessId());
        CreateDirectoryW(root_, nullptr);
    }
    void TearDown() override {
        std::wstring from = root_.str();
        from.push_back(L'\0');  // SHFileOperation wants a double-terminated list
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationW(&op);
    }
    CString root_;
};

TEST(GetModuleDir, IsTheFolderOfTheRunningProgramWithoutATrailingBackslash) {
    const CString dir = GetModuleDir();
    ASSERT_GT(dir.GetLength(), 2);
    EXPECT_NE(dir[dir.GetLength() - 1], L'\\');
    EXPECT_EQ(dir[1], L':') << "a full path with its drive";
    EXPECT_TRUE(IsFile(dir + L"\\app_toolkit_paths_test.exe"));
    EXPECT_TRUE(DirectoryExists(dir));
}

TEST(DirectoryExists, AcceptsForwardSlashesAndRejectsFilesAndMissingPaths) {
    CString dir = GetModuleDir();
    EXPECT_TRUE(DirectoryExists(dir + L"\\"));
    dir.Replace(L'\\', L'/');
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(DirectoryExists(GetModuleDir() + L"\\app_toolkit_paths_test.exe"));
    EXPECT_FALSE(DirectoryExists(GetModuleDir() + L"\\no such folder"));
    EXPECT_FALSE(DirectoryExists(L""));
}

TEST_F(ScratchFolder, CreateDirectoryTreeMakesEveryMissingParent) {
    const CString deep = root_ + L"\\a\\b\\c";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(DirectoryExists(root_ + L"\\a"));
    EXPECT_TRUE(DirectoryExists(root_ + L"\\a\\b"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(CreateDirectoryTree(deep)) << "an existing folder succeeds";

    EXPECT_TRUE(CreateDirectoryTree(root_ + L"\\d\\e\\"));  // one trailing backslash is dropped
    EXPECT_TRUE(DirectoryExists(root_ + L"\\d\\e"));
}

TEST_F(ScratchFolder, CreateDirectoryTreeStopsAtRootsAndFailsWithoutAParent) {
    EXPECT_TRUE(CreateDirectoryTree(L"C:\\"));
    EXPECT_FALSE(CreateDirectoryTree(L""));
    // No backslash: no parent to make, so only an existing folder passes.
    const CString relative = L"module_paths_test_relative";
    EXPECT_FALSE(CreateDirectoryTree(relative));
    EXPECT_FALSE(DirectoryExists(relative));

    const CString file = root_ + L"\\file.txt";
    HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_FALSE(CreateDirectoryTree(file));
    EXPECT_FALSE(CreateDirectoryTree(file + L"\\below"));
    EXPECT_FALSE(CreateDirectoryTree(L"Q:\\no\\such\\drive"));
}

// Refused whole, before any parent is made: a path of MAX_PATH characters or
// more, even 32,000 backslashes, which a walk one parent deep per call could
// not survive.
TEST_F(ScratchFolder, CreateDirectoryTreeRefusesPathsOfMaxPathOrMore) {
    EXPECT_FALSE(CreateDirectoryTree(CString(L'\\', 32000)));
    // A name of its own: a tree that long outlives the scratch folder's removal.
    CString top;
    top.Format(L"%s\\refused_%lu", root_.GetString(), GetTickCount());
    CString deep = top;
    while (deep.GetLength() < MAX_PATH) deep += L"\\b";
    EXPECT_FALSE(CreateDirectoryTree(deep));
    EXPECT_FALSE(DirectoryExists(top)) << "a parent of the refused path was made";
}

}  // namespace
