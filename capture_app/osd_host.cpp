#include "capture_app/osd_host.h"

#include "capture_app/osd/osd.h"
#include "capture_app/osd/status_displays.h"

void CreateStatusDisplays(COsdList& displays, HWND owner) {
    for (int i = 0; i < 3; ++i) displays.Add(new COsd);
    SetUpStatusDisplays(displays, owner);
}

void DestroyStatusDisplays(COsdList& displays) {
    for (INT_PTR i = 0; i < displays.GetSize(); ++i) delete displays[i];
    displays.RemoveAll();
}

void OsdShowText(COsd* osd, const CString& text) { osd->ShowOsdText(text); }

void OsdShowAgain(COsd* osd) {
    if (!osd->GetSafeHwnd()) return;
    // As in ShowOsdText: over a minimised owner the text would float alone.
    const HWND owner = osd->GetOsdOwner();
    if (owner && ::IsIconic(owner)) return;
    osd->ShowWindow(SW_SHOWNOACTIVATE);
    if (osd->GetDisplayTime() > 0) osd->SetTimer(COsd::kHideTimer, static_cast<UINT>(osd->GetDisplayTime()));
}

void OsdFollowOwnerSize(COsd* osd) { osd->FollowOwnerSize(); }

void OsdFollowOwnerMove(COsd* osd) { osd->FollowOwnerMove(); }
