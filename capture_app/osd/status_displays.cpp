#include "capture_app/osd/status_displays.h"

namespace {

constexpr int kDisplayTimeMs = 1000;
constexpr COLORREF kPlateGreen = RGB(0, 255, 0);
constexpr BYTE kGb2312Charset = 134;
const wchar_t kFace[] = L"\u9ed1\u4f53";  // 黑体 (SimHei)

}  // namespace

void StyleStatusDisplay(COsd& display) {
    LOGFONTW font{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfCharSet = kGb2312Charset;
    lstrcpynW(font.lfFaceName, kFace, LF_FACESIZE);
    display.SetTextFont(font);
    display.SetTextFormat(0);
    display.SetDisplayTime(kDisplayTimeMs);
    display.SetPlateColour(kPlateGreen);
    display.SetFontHeights(5, 50, 5);
}

bool SetUpStatusDisplays(COsdArray& displays, HWND owner) {
    bool created = true;
    for (INT_PTR i = 0; i < displays.GetSize(); ++i) {
        COsd* display = displays[i];
        if (!display->GetSafeHwnd() && !display->Create(owner)) created = false;
        StyleStatusDisplay(*display);
    }
    const int top = ::IsWindowVisible(owner) ? 80 : 40;
    for (INT_PTR i = 0; i < displays.GetSize(); ++i) displays[i]->SetMargins(20, top, 10, 10);
    for (INT_PTR i = 0; i < displays.GetSize(); ++i)
        if (displays[i]->GetSafeHwnd() && displays[i]->IsWindowVisible()) displays[i]->LayoutOsd();
    return created;
}
