#include "app_toolkit/wzd_tooltip_ctrl.h"

BOOL CWzdToolTipCtrl::AddButtonTool(UINT controlId, LPCWSTR text) {
    // A popup's parent is its owner: the dialog the tooltip was made for.
    HWND control = ::GetDlgItem(::GetParent(m_hWnd), static_cast<int>(controlId));
    if (!control) return FALSE;
    TOOLINFOW tool{};
    tool.cbSize = kToolInfoSize;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetOwner();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<LPWSTR>(text ? text : L"");
    return AddTool(tool);
}
