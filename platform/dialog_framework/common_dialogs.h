// The shell's file-open/save dialog and folder browser.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "dialog_framework/wide_string.h"

class CWnd;

class CFileDialog {
public:
    // filter: pairs of "description|patterns|", e.g. "Bitmaps (*.bmp)|*.bmp|".
    CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt = nullptr, LPCWSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr, CWnd* parent = nullptr);

    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    CString GetPathName() const { return CString(m_file); }
    CString GetFileName() const;  // without the folder

    OPENFILENAMEW m_ofn{};

private:
    BOOL m_open;
    std::wstring m_filter;  // '|' turned into the terminators the system wants
    std::wstring m_defaultExt;
    wchar_t m_file[MAX_PATH * 4] = L"";
};

// SHBrowseForFolder with the given BIF_ flags, showing `preselect` first when
// given. True with the chosen folder's path when the user pressed OK on a
// folder of the file system. The new dialog style needs OLE on the thread.
bool BrowseForFolder(HWND owner, LPCWSTR title, UINT flags, LPCWSTR preselect, CString* folder);
