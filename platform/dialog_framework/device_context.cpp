#include "dialog_framework/device_context.h"

BOOL CDC::CreateCompatibleDC(HDC reference) {
    HDC dc = ::CreateCompatibleDC(reference);
    if (!dc) return FALSE;
    DeleteDC();
    m_hDC = dc;
    m_ownsMemoryDc = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_ownsMemoryDc) return FALSE;
    const BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_ownsMemoryDc = false;
    return deleted;
}

void CDC::FillSolidRect(const RECT& r, COLORREF colour) {
    // ExtTextOut with an opaque rectangle fills without making a brush.
    const COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CSize CDC::GetTextExtent(LPCWSTR text, int length) const {
    SIZE size{};
    ::GetTextExtentPoint32W(m_hDC, text, length, &size);
    return CSize(size);
}

CPaintDC::CPaintDC(HWND window) : m_window(window) { m_hDC = ::BeginPaint(window, &m_ps); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_window, &m_ps);
    m_hDC = nullptr;
}
