// Owned GDI objects: each deletes its handle when destroyed or replaced.
// Deselect an object from every device context before it goes.
#pragma once

#include <windows.h>

#include "dialog_framework/geometry.h"

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { DeleteObject(); }

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);  // takes ownership, deleting the previous object
    HGDIOBJ Detach();             // gives ownership away
    BOOL DeleteObject();
    int GetObject(int size, void* out) const { return m_hObject ? ::GetObjectW(m_hObject, size, out) : 0; }

protected:
    HGDIOBJ m_hObject = nullptr;
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    // Loads a .bmp file from disk; on failure the bitmap held so far stays.
    BOOL LoadFromFile(LPCWSTR path);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
    BOOL GetBitmap(BITMAP* info) const { return GetObject(sizeof *info, info) == sizeof *info; }
    CSize GetSize() const;
};

class CRgn : public CGdiObject {
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }

    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    BOOL CreateRectRgnIndirect(const RECT& r) { return Attach(::CreateRectRgnIndirect(&r)); }
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int ellipseW, int ellipseH) {
        return Attach(::CreateRoundRectRgn(l, t, r, b, ellipseW, ellipseH));
    }
    // The region of the path last closed in dc; the path is used up.
    BOOL CreateFromPath(HDC dc) { return Attach(::PathToRegion(dc)); }
    // Sets this (already created) region to a op b.
    int CombineRgn(HRGN a, HRGN b, int mode) { return ::CombineRgn(*this, a, b, mode); }
    int GetRgnBox(RECT* box) const { return ::GetRgnBox(*this, box); }
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW& font) { return Attach(::CreateFontIndirectW(&font)); }
    BOOL GetLogFont(LOGFONTW* font) const { return GetObject(sizeof *font, font) == sizeof *font; }
};

class CPen : public CGdiObject {
public:
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
};

class CBrush : public CGdiObject {
public:
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
};
