// CWzdToolTipCtrl: the tooltip of a dialog's buttons, one text per button.
// Create it with the dialog as parent, add the tools, then Activate(TRUE).
// The tools are subclassed by the tooltip, so no messages need relaying.
#pragma once

#include <windows.h>

#include "dialog_framework/controls.h"

class CWzdToolTipCtrl : public CToolTipCtrl {
public:
    // The control controlId of the tooltip's parent gets the text (copied).
    // FALSE when the parent has no such control.
    BOOL AddButtonTool(UINT controlId, LPCWSTR text);
};
