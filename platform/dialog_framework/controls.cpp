#include "dialog_framework/controls.h"

void CComboBox::GetLBText(int index, CString& text) const {
    const int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    if (length == CB_ERR) {
        text.Empty();
        return;
    }
    const int got = static_cast<int>(
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1))));
    text.ReleaseBuffer(got > 0 ? got : 0);
}

void CListBox::GetText(int index, CString& text) const {
    const int length = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
    if (length == LB_ERR) {
        text.Empty();
        return;
    }
    const int got = static_cast<int>(
        SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1))));
    text.ReleaseBuffer(got > 0 ? got : 0);
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    return CreateEx(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, parent ? parent->GetSafeHwnd() : nullptr);
}

CString CToolTipCtrl::GetToolText(HWND owner, UINT_PTR toolId) const {
    // Tooltip texts are limited to 80 characters unless set through a callback.
    wchar_t buffer[1024] = L"";
    TOOLINFOW tool{};
    tool.cbSize = kToolInfoSize;
    tool.hwnd = owner;
    tool.uId = toolId;
    tool.lpszText = buffer;
    SendMessage(TTM_GETTEXTW, sizeof buffer / sizeof buffer[0], reinterpret_cast<LPARAM>(&tool));
    return CString(buffer);
}
