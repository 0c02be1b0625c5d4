// CChoseDevDlg: the modal chooser of the real camera that the virtual webcam
// takes its picture from. The virtual webcam's own device is not offered;
// m_nDevice is always the shown entry's index in the engine's list.
#pragma once

#include <vector>

#include "dialog_framework/controls.h"
#include "dialog_framework/dialog.h"
#include "dialog_framework/typed_arrays.h"

class CChoseDevDlg : public CDialog {
public:
    explicit CChoseDevDlg(CWnd* parent = nullptr);

    CStringArray m_arDevices;  // every name the engine reported, in its order
    int m_nDevice = 0;

protected:
    BOOL OnInitDialog() override;
    void OnClose() override;
    void OnCancel() override;

private:
    void OnSelchangeDevice();

    CComboBox m_comboDevice;
    std::vector<int> m_engineIndex;  // per combo entry
};
