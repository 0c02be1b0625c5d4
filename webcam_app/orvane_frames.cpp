// The two frame lists of the "Frames" folder: still pictures (.bmp) and
// animated frames (.gif, then .swf), drawn as a column of thumbnails; the
// selection rule shared by the lists, the ON toggle and the effect panel;
// adding and deleting frame files.
#include "webcam_app/orvane_dlg.h"

#include <vector>

#include "app_toolkit/module_paths.h"
#include "webcam_app/effect_set_dlg.h"
#include "webcam_app/orvane_rules.h"
#include "webcam_engine/lumivox.h"

namespace {

constexpr wchar_t kFileExists[] = L"要添加的文件已经存在了！";
constexpr wchar_t kAskDelete[] = L"删除后以后将无法使用这个效果了，确定要删除这个特效吗？";
constexpr int kSlots = 6;

CString FramesFolder() { return GetModuleDir() + L"\\Frames"; }
CString ThumbFolder() { return GetModuleDir() + L"\\Frames\\Temp"; }

CString ThumbPath(const CString& frameName) {
    return ThumbFolder() + L"\\" + CString(orvane::ThumbnailName(frameName.str()));
}

// Appends the names of the folder's plain files matching the pattern.
void AppendMatches(const CString& pattern, CStringArray* names) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const CString name(found.cFileName);
        if (name == L"." || name == L".." || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        names->Add(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace

void COrvaneDlg::ScanFrames() {
    const CString folder = FramesFolder();
    AppendMatches(folder + L"\\*.bmp", &m_arPictureFrames);
    AppendMatches(folder + L"\\*.gif", &m_arMagicFrames);
    m_nGifCount = static_cast<int>(m_arMagicFrames.GetSize());
    AppendMatches(folder + L"\\*.swf", &m_arMagicFrames);
    ::CreateDirectoryW(ThumbFolder(), nullptr);
    for (INT_PTR i = 0; i < m_arMagicFrames.GetSize(); ++i) m_arThumbCache.Add(CString());
}

void COrvaneDlg::ShowFrameTab(int tab) {
    m_btnAdd.EnableWindow(TRUE);
    m_btnSub.EnableWindow(TRUE);
    m_effectHolder.ShowWindow(SW_HIDE);
    if (m_pEffectPanel) m_pEffectPanel->ShowWindow(SW_HIDE);
    CheckTabs(tab);
    m_nTab = tab;
    DrawListAndMarks();
    // The tab mark of the frame moves with the tab.
    CRect marks(0, 35, 36, 35 + 53 * 3);
    InvalidateRect(&marks, FALSE);
}

void COrvaneDlg::OnTabEffect() {
    m_btnAdd.EnableWindow(FALSE);
    m_btnSub.EnableWindow(FALSE);
    CheckTabs(2);
    m_nTab = 2;
    if (!m_pEffectPanel) {
        m_pEffectPanel = new EffectSetDlg;
        if (!m_pEffectPanel->Create(IDD_EFFECT_SET, this)) {
            delete m_pEffectPanel;
            m_pEffectPanel = nullptr;
            return;
        }
    }
    m_effectHolder.ShowWindow(SW_SHOW);
    m_pEffectPanel->SetParent(m_effectHolder);
    m_pEffectPanel->ShowWindow(SW_SHOW);
    PlaceEffectPanel();
    CRect marks(0, 35, 36, 35 + 53 * 3);
    InvalidateRect(&marks, FALSE);
}

void COrvaneDlg::PlaceEffectPanel() {
    if (!m_pEffectPanel) return;
    const int top = orvane::PanelTop(m_pEffectPanel->PanelHeight(), orvane::ListHeight(ClientHeight()),
                                     m_nScrollPercent);
    m_pEffectPanel->SetWindowPos(nullptr, 0, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int COrvaneDlg::FirstVisibleOfShownList() {
    const int rows = orvane::RowsThatFit(ClientHeight());
    if (m_nTab == 0) {
        m_nFirstPicture = orvane::FirstVisible(static_cast<int>(m_arPictureFrames.GetSize()), m_nScrollPercent, rows);
        return m_nFirstPicture;
    }
    m_nFirstMagic = orvane::FirstVisible(static_cast<int>(m_arMagicFrames.GetSize()), m_nScrollPercent, rows);
    return m_nFirstMagic;
}

void COrvaneDlg::DrawListAndMarks() {
    if (m_nTab != 0 && m_nTab != 1) return;
    DrawList();
    DrawSelectionMark();
    DrawEntryFrames();
}

void COrvaneDlg::DrawList() {
    if (m_nTab != 0 && m_nTab != 1) return;
    const int first = FirstVisibleOfShownList();
    const int w = ClientWidth(), h = ClientHeight();
    CClientDC window(m_hWnd);
    CDC memory;
    CBitmap canvas;
    if (!memory.CreateCompatibleDC(window) || !canvas.CreateCompatibleBitmap(window, w, h)) return;
    HGDIOBJ oldCanvas = memory.SelectObject(canvas);
    memory.SetStretchBltMode(COLORONCOLOR);
    const CStringArray& list = m_nTab == 0 ? m_arPictureFrames : m_arMagicFrames;
    const INT_PTR n = list.GetSize();
    for (int i = 0; i < kSlots && first + i < n; ++i) {
        const int index = first + i;
        const int y = 10 + orvane::kEntryPitch * i;
        CBitmap picture;
        CString file;
        int width = 110;
        if (m_nTab == 0) {
            file = FramesFolder() + L"\\" + list[index];
        } else if (!m_arThumbCache[index].IsEmpty()) {
            file = ThumbPath(m_arThumbCache[index]);
            width = orvane::kThumbWidth;
        } else {
            // First display in this run: the engine decodes the first picture.
            std::vector<BYTE> pixels(orvane::kThumbPixelBytes, 0);
            ::GetFirstFrame(FramesFolder() + L"\\" + list[index], orvane::kThumbWidth, orvane::kThumbHeightPx,
                            pixels.data(), 255, 255, 255);
            orvane::SwapRedBlue(pixels.data(), pixels.size() / 3);
            const std::vector<uint8_t> bmp = orvane::ThumbnailFile(pixels.data());
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = orvane::kThumbWidth;
            info.bmiHeader.biHeight = orvane::kThumbHeightPx;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            memory.StretchDIBits(10, y, orvane::kThumbWidth, orvane::kThumbHeightPx, 0, 0, orvane::kThumbWidth,
                                 orvane::kThumbHeightPx, bmp.data() + 54, &info, DIB_RGB_COLORS, SRCCOPY);
            WriteThumbnail(ThumbPath(list[index]), bmp.data());
            if (::GetFileAttributesW(ThumbPath(list[index])) != INVALID_FILE_ATTRIBUTES)
                m_arThumbCache[index] = list[index];
            continue;
        }
        if (!picture.LoadFromFile(file)) continue;
        const CSize size = picture.GetSize();
        CDC source;
        if (!source.CreateCompatibleDC(window)) continue;
        HGDIOBJ old = source.SelectObject(picture);
        memory.StretchBlt(10, y, width, orvane::kThumbHeightPx, source, 0, 0, size.cx, size.cy, SRCCOPY);
        source.SelectObject(old);
    }
    window.BitBlt(orvane::kListLeft, orvane::kListTop, w - 53, orvane::ListHeight(h), memory, 0, 0, SRCCOPY);
    memory.SelectObject(oldCanvas);
}

// bmpFile: the whole file as ThumbnailFile makes it.
void COrvaneDlg::WriteThumbnail(const CString& path, const BYTE* bmpFile) {
    HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bmpFile, static_cast<DWORD>(orvane::kThumbFileBytes), &written, nullptr);
    ::CloseHandle(file);
    // A short file would be read back as a broken picture for the rest of the run.
    if (!ok || written != orvane::kThumbFileBytes) ::DeleteFileW(path);
}

void COrvaneDlg::DrawSelectionMark() {
    if (m_nTab != m_nSelMode || m_nTab == 2) return;
    const int first = m_nTab == 0 ? m_nFirstPicture : m_nFirstMagic;
    const int d = (m_nSelIndex - first) * orvane::kEntryPitch;
    const int w = ClientWidth(), h = ClientHeight();
    if (d < 0 || 133 + d > h - 77) return;
    CClientDC dc(m_hWnd);
    CPen pen;
    pen.CreatePen(PS_SOLID, 2, RGB(255, 200, 200));
    HGDIOBJ oldPen = dc.SelectObject(pen);
    HGDIOBJ oldBrush = dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(38, 51 + d, w - 19, 133 + d);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
}

void COrvaneDlg::DrawEntryFrames() {
    if (m_nTab == 2) return;
    const int w = ClientWidth(), h = ClientHeight();
    const INT_PTR n = (m_nTab == 0 ? m_arPictureFrames : m_arMagicFrames).GetSize();
    if (!(51 < h - 90)) return;
    CClientDC dc(m_hWnd);
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, RGB(100, 100, 100));
    HGDIOBJ oldPen = dc.SelectObject(pen);
    HGDIOBJ oldBrush = dc.SelectStockObject(NULL_BRUSH);
    for (int k = 0; k < 5 && k < n; ++k) {
        const int bottom = 133 + orvane::kEntryPitch * k;
        if (bottom > h - 77) break;
        dc.Rectangle(38, 51 + orvane::kEntryPitch * k, w - 19, bottom);
        if (bottom + 8 >= h - 90) break;
    }
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
}

void COrvaneDlg::ClickAt(CPoint point) {
    const int w = ClientWidth();
    if (point.x >= orvane::kListLeft && point.x <= w - 17) {
        m_nSelMode = m_nTab;
        if (point.y > orvane::kListTop) {
            if (m_nTab == 2)
                m_nSelIndex = 0;
            else
                m_nSelIndex = (point.y - orvane::kListTop) / orvane::kEntryPitch + FirstVisibleOfShownList();
        }
    }
    DrawSelectionMark();
    DrawEntryFrames();
    ApplySelection();
    PlaceEffectPanel();
}

void COrvaneDlg::ApplySelection() {
    if (m_nSelMode == 1 && m_nSelIndex >= 0 && m_nSelIndex < m_arMagicFrames.GetSize()) {
        const CString path = FramesFolder() + L"\\" + m_arMagicFrames[m_nSelIndex];
        if (m_nSelIndex < m_nGifCount)
            ::SetGifFrame(path, 0, 0);
        else
            ::SetFlashFrame(path, 0, 0);
    } else if (m_nSelMode == 0 && m_nSelIndex >= 0 && m_nSelIndex < m_arPictureFrames.GetSize()) {
        ::SetStaticFrame(FramesFolder() + L"\\" + m_arPictureFrames[m_nSelIndex], 0, 0);
    } else if (m_nSelMode == 2) {
        ::SetEffectType(m_nSelIndex);
    }
    m_bOn = true;
}

void COrvaneDlg::SelectEffect(int code) {
    m_nSelMode = 2;
    m_nSelIndex = code;
}

void COrvaneDlg::OnBtnAdd() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"(*.swf;*.gif;*.bmp)|*.swf;*.gif;*.bmp|", nullptr);
    if (dialog.DoModal() != IDOK) return;
    const CString name = dialog.GetFileName();
    const CString target = FramesFolder() + L"\\" + name;
    if (!::CopyFileW(dialog.GetPathName(), target, TRUE)) {
        MessageBox(kFileExists, nullptr, MB_OK);
        return;
    }
    switch (orvane::KindOfAddedFile(name.str())) {
    case orvane::FrameKind::kGif:
        m_arMagicFrames.InsertAt(m_nGifCount, name);
        m_arThumbCache.InsertAt(m_nGifCount, CString());
        ++m_nGifCount;
        break;
    case orvane::FrameKind::kFlash:
        m_arMagicFrames.Add(name);
        m_arThumbCache.Add(CString());
        break;
    case orvane::FrameKind::kPicture: m_arPictureFrames.Add(name); break;
    case orvane::FrameKind::kNone: break;
    }
}

void COrvaneDlg::OnBtnSub() {
    if (MessageBox(kAskDelete, nullptr, MB_YESNO) != IDYES) return;
    if (m_nSelMode == 1) {
        const int n = static_cast<int>(m_arMagicFrames.GetSize());
        if (n == 0) return;
        const int b = m_nSelIndex < n - 1 ? m_nSelIndex : n - 1;
        if (b < m_nGifCount) --m_nGifCount;
        ::DeleteFileW(FramesFolder() + L"\\" + m_arMagicFrames[b]);
        if (!m_arThumbCache[b].IsEmpty()) ::DeleteFileW(ThumbPath(m_arThumbCache[b]));
        m_arMagicFrames.RemoveAt(b);
        m_arThumbCache.RemoveAt(b);
    } else if (m_nSelMode == 0) {
        const int n = static_cast<int>(m_arPictureFrames.GetSize());
        if (n == 0) return;
        const int b = m_nSelIndex < n - 1 ? m_nSelIndex : n - 1;
        const CString file = FramesFolder() + L"\\" + m_arPictureFrames[b];
        m_arPictureFrames.RemoveAt(b);
        ::DeleteFileW(file);
    } else {
        return;
    }
    // The shown list: the other one is drawn afresh when its tab is chosen.
    DrawListAndMarks();
}
