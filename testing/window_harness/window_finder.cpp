#include "testing/window_harness/window_finder.h"

#include "testing/window_harness/control_access.h"
#include "testing/window_harness/waiting.h"

namespace harness {
namespace {

// Id of the static that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

bool InProcess(HWND hwnd, DWORD processId) {
    if (processId == 0) return true;
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    return owner == processId;
}

bool HasClass(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    return lstrcmpW(cls, name) == 0;
}

struct TitleSearch {
    const std::wstring* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<TitleSearch*>(param);
    if (!IsWindowVisible(hwnd) || !InProcess(hwnd, search->processId)) return TRUE;
    if (ReadText(hwnd) != *search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<IdSearch*>(param);
    if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

struct ClassSearch {
    const std::wstring* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ClassSearch*>(param);
    if (!HasClass(hwnd, search->className->c_str())) return TRUE;
    search->found = hwnd;
    return FALSE;
}

struct BoxSearch {
    DWORD processId;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || !InProcess(hwnd, search->processId)) return TRUE;
    if (!HasClass(hwnd, L"#32770") || !GetDlgItem(hwnd, kMessageBoxTextId)) return TRUE;
    if (search->owner && GetWindow(hwnd, GW_OWNER) != search->owner) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

HWND FindTopLevelWindow(const std::wstring& title, DWORD timeoutMs, DWORD processId) {
    TitleSearch search{&title, processId, nullptr};
    WaitUntil([&] {
        EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

HWND FindControl(HWND parent, int id) {
    if (HWND direct = GetDlgItem(parent, id)) return direct;
    IdSearch search{id, nullptr};
    EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendantOfClass(HWND parent, const std::wstring& className) {
    ClassSearch search{&className, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxInfo WaitForMessageBox(DWORD timeoutMs, DWORD processId, HWND owner) {
    BoxSearch search{processId, owner, nullptr};
    MessageBoxInfo info;
    if (!WaitUntil([&] {
            EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }, timeoutMs))
        return info;
    info.window = search.found;
    info.title = ReadText(search.found);
    info.text = ReadText(GetDlgItem(search.found, kMessageBoxTextId));
    return info;
}

bool AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button) return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != FALSE;
}

bool WaitForControlTop(HWND window, int id, int fromBottom, DWORD timeoutMs) {
    return WaitUntil([&] {
        if (IsIconic(window)) return false;
        RECT client{}, control{};
        GetClientRect(window, &client);
        GetWindowRect(FindControl(window, id), &control);
        POINT at{control.left, control.top};
        ScreenToClient(window, &at);
        return at.y == client.bottom - fromBottom;
    }, timeoutMs);
}

}  // namespace harness
