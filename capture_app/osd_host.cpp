#include "capture_app/osd_host.h"

#ifdef SNAPORY_HAVE_OSD
#include "capture_app/osd/osd.h"
#endif

#ifndef SNAPORY_HAVE_OSD
// Built without the displays: nothing is shown.
COsd* CreateStyledOsd(CWnd*) { return nullptr; }
void DestroyOsd(COsd*) {}
void SetOsdMargins(COsd*, bool) {}
void OsdShowText(COsd*, const CString&) {}
void OsdShowAgain(COsd*) {}
void OsdLayOutIfVisible(COsd*) {}
void OsdFollowOwnerSize(COsd*) {}
void OsdFollowOwnerMove(COsd*) {}
#endif
