#include "testing/window_harness/control_access.h"

namespace harness {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return -1;
    return static_cast<LRESULT>(result);
}

}  // namespace

std::wstring ReadText(HWND window) {
    if (!window) return {};
    const LRESULT length = Send(window, WM_GETTEXTLENGTH);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

bool IsEnabled(HWND window) { return window && IsWindowEnabled(window); }

bool IsVisible(HWND window) { return window && IsWindowVisible(window); }

bool IsChecked(HWND button) { return Send(button, BM_GETCHECK) == BST_CHECKED; }

bool TypeText(HWND edit, const std::wstring& text) {
    for (wchar_t ch : text)
        if (Send(edit, WM_CHAR, ch, 1) == -1) return false;
    return true;
}

bool ChooseComboEntry(HWND combo, int index) {
    if (index < 0 || index >= Send(combo, CB_GETCOUNT)) return false;
    if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index)) != index) return false;
    const int id = GetDlgCtrlID(combo);
    Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

bool ChooseComboEntry(HWND combo, const std::wstring& text) {
    const std::vector<std::wstring> entries = ComboEntries(combo);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text) return ChooseComboEntry(combo, static_cast<int>(i));
    return false;
}

std::vector<std::wstring> ComboEntries(HWND combo) {
    std::vector<std::wstring> entries;
    const LRESULT count = Send(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        const LRESULT got = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        entries.push_back(text);
    }
    return entries;
}

int ComboSelection(HWND combo) { return static_cast<int>(Send(combo, CB_GETCURSEL)); }

bool ChooseListEntry(HWND list, int index) {
    if (index < 0 || index >= Send(list, LB_GETCOUNT)) return false;
    if (Send(list, LB_SETCURSEL, static_cast<WPARAM>(index)) != index) return false;
    const int id = GetDlgCtrlID(list);
    Send(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return true;
}

}  // namespace harness
