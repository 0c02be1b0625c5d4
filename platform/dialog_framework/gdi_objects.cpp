#include "dialog_framework/gdi_objects.h"

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object) return FALSE;
    DeleteObject();
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

BOOL CBitmap::LoadFromFile(LPCWSTR path) {
    return Attach(::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc, width, height));
}

CSize CBitmap::GetSize() const {
    BITMAP info{};
    return GetBitmap(&info) ? CSize(info.bmWidth, info.bmHeight) : CSize();
}
