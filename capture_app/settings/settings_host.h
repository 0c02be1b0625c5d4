// What the settings pages ask of the main window beyond its handle: the
// device page restarts the preview on another camera and refills the size
// combo through the main dialog's own operations. The main dialog derives
// from this class (CSnaporyDlg : public CDialog, public CSettingsHost), so
// `CSnaporySetDlg dlg(this)` finds them.
#pragma once

class CSettingsHost {
public:
    // Opens video device `index`, attaches and runs its preview.
    virtual void StartDevice(int index) = 0;
    // Lists the current device's sizes in the main window's size combo.
    virtual void FillSizeCombo() = 0;

protected:
    ~CSettingsHost() = default;  // never deleted through this class
};
