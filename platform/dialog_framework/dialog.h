// CDialog: a dialog made from a DIALOG(EX) template of the program's
// resources, modal (DoModal) or modeless (Create). Its messages reach the
// object like any CWnd's from WM_INITDIALOG on; Default() hands them to the
// system's dialog procedure. IDOK and IDCANCEL commands end up in OnOK and
// OnCancel unless a map entry or an OnCommand override takes them first.
#pragma once

#include <windows.h>

#include "dialog_framework/window.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog and returns the value given to EndDialog, or -1 when
    // the template cannot be made into a dialog.
    virtual INT_PTR DoModal();
    // A modeless dialog (a child when its template says WS_CHILD).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);

    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }
    UINT GetTemplateId() const { return m_templateId; }

    // Lets control have the template control id's messages (DDX_Control).
    BOOL BindControl(UINT id, CWnd& control) { return control.SubclassDlgItem(id, m_hWnd); }

protected:
    // Return TRUE to let the system focus the first tab stop.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(UINT notifyCode, UINT id, HWND control) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerWindow() const;

    UINT m_templateId;
    CWnd* m_parent;
};
