#include "dialog_framework/common_dialogs.h"

#include <shlobj.h>

#include "dialog_framework/window.h"

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt, LPCWSTR fileName, DWORD flags, LPCWSTR filter,
                         CWnd* parent)
    : m_open(openFileDialog), m_filter(filter ? filter : L""), m_defaultExt(defaultExt ? defaultExt : L"") {
    for (wchar_t& c : m_filter)
        if (c == L'|') c = L'\0';
    m_filter.push_back(L'\0');
    if (fileName) lstrcpynW(m_file, fileName, static_cast<int>(sizeof m_file / sizeof m_file[0]));
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent ? parent->GetSafeHwnd() : nullptr;
    m_ofn.lpstrFilter = filter ? m_filter.c_str() : nullptr;
    m_ofn.lpstrFile = m_file;
    m_ofn.nMaxFile = sizeof m_file / sizeof m_file[0];
    m_ofn.lpstrDefExt = defaultExt ? m_defaultExt.c_str() : nullptr;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
    const BOOL ok = m_open ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileName() const {
    const CString path = GetPathName();
    return path.Mid(path.ReverseFind(L'\\') + 1);
}

namespace {

struct Preselection {
    LPCWSTR path;
    bool reached = false;
    int resent = 0;
};

// The browser may still be filling its tree when it says it is initialised,
// and a late fill can move the selection back to the first folder. Until the
// preselected folder has been selected once, a selection elsewhere asks for
// it again (twice at most, so a missing folder costs the user nothing).
int CALLBACK PreselectFolder(HWND browser, UINT message, LPARAM detail, LPARAM data) {
    auto* preselection = reinterpret_cast<Preselection*>(data);
    if (!preselection || !preselection->path || !*preselection->path) return 0;
    if (message == BFFM_INITIALIZED) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(preselection->path));
    } else if (message == BFFM_SELCHANGED && !preselection->reached) {
        wchar_t selected[MAX_PATH] = L"";
        const auto item = reinterpret_cast<PCIDLIST_ABSOLUTE>(detail);
        if (item && ::SHGetPathFromIDListW(item, selected) && ::lstrcmpiW(selected, preselection->path) == 0) {
            preselection->reached = true;
        } else if (preselection->resent < 2) {
            ++preselection->resent;
            ::PostMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(preselection->path));
        }
    }
    return 0;
}

}  // namespace

bool BrowseForFolder(HWND owner, LPCWSTR title, UINT flags, LPCWSTR preselect, CString* folder) {
    Preselection preselection{preselect};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = flags;
    info.lpfn = PreselectFolder;
    info.lParam = reinterpret_cast<LPARAM>(&preselection);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen) return false;
    wchar_t path[MAX_PATH] = L"";
    const bool isPath = ::SHGetPathFromIDListW(chosen, path) != FALSE;
    ::CoTaskMemFree(chosen);
    if (isPath) *folder = path;
    return isPath;
}
