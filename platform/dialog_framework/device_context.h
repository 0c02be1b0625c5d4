// Device contexts: CDC wraps any HDC; a memory DC made by CreateCompatibleDC
// is deleted with the object. CPaintDC, CClientDC and CWindowDC get and give
// back the DC of a window for their lifetime.
#pragma once

#include <windows.h>

#include "dialog_framework/geometry.h"

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}  // borrowed, never deleted
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() { DeleteDC(); }

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    BOOL CreateCompatibleDC(HDC reference);  // memory DC owned by this object
    BOOL DeleteDC();

    // Returns the object that was selected before, for restoring it.
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
    int SelectClipRgn(HRGN region) { return ::SelectClipRgn(m_hDC, region); }

    BOOL BitBlt(int x, int y, int w, int h, HDC src, int srcX, int srcY, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, w, h, src, srcX, srcY, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, HDC src, int srcX, int srcY, int srcW, int srcH, DWORD rop) {
        return ::StretchBlt(m_hDC, x, y, w, h, src, srcX, srcY, srcW, srcH, rop);
    }
    int StretchDIBits(int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, const void* bits,
                      const BITMAPINFO* info, UINT usage, DWORD rop) {
        return ::StretchDIBits(m_hDC, x, y, w, h, srcX, srcY, srcW, srcH, bits, info, usage, rop);
    }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }

    void FillSolidRect(const RECT& r, COLORREF colour);
    int FillRect(const RECT& r, HBRUSH brush) { return ::FillRect(m_hDC, &r, brush); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(const RECT& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    int DrawText(LPCWSTR text, int length, RECT* r, UINT format) { return ::DrawTextW(m_hDC, text, length, r, format); }
    CSize GetTextExtent(LPCWSTR text, int length) const;
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }

    BOOL BeginPath() { return ::BeginPath(m_hDC); }
    BOOL EndPath() { return ::EndPath(m_hDC); }
    BOOL AbortPath() { return ::AbortPath(m_hDC); }

protected:
    HDC m_hDC = nullptr;
    bool m_ownsMemoryDc = false;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND window);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_window;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND window) : CDC(::GetDC(window)), m_window(window) {}
    ~CClientDC() override { if (m_hDC) ::ReleaseDC(m_window, m_hDC); m_hDC = nullptr; }

private:
    HWND m_window;
};

// The whole window, non-client area included.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND window) : CDC(::GetWindowDC(window)), m_window(window) {}
    ~CWindowDC() override { if (m_hDC) ::ReleaseDC(m_window, m_hDC); m_hDC = nullptr; }

private:
    HWND m_window;
};
