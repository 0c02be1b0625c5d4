#include "webcam_app/chose_dev_dlg.h"

#include <string>

#include "webcam_engine/lumivox.h"
#include "webcam_app/orvane_rules.h"
#include "webcam_app/resource.h"

CChoseDevDlg::CChoseDevDlg(CWnd* parent) : CDialog(IDD_CHOSE_DEV, parent) {
    MapCommand(IDC_COMBO_DEVICE, CBN_SELCHANGE, &CChoseDevDlg::OnSelchangeDevice);
}

BOOL CChoseDevDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    BindControl(IDC_COMBO_DEVICE, m_comboDevice);
    m_arDevices.RemoveAll();
    unsigned short count = 0;
    wchar_t names[LUMIVOX_DEVICE_LIST_UNITS] = L"";
    ::GetVideoCaptureDev(&count, names);
    if (count == 0) return FALSE;

    // Names are kept whole: a long name is still the device's name.
    std::vector<std::wstring> devices = orvane::SplitDeviceList(names, LUMIVOX_DEVICE_LIST_UNITS);
    for (const std::wstring& name : devices) m_arDevices.Add(CString(name));
    const orvane::ChooserList list = orvane::BuildChooserList(devices);
    for (const std::wstring& name : list.shown) m_comboDevice.AddString(name.c_str());
    m_engineIndex = list.engineIndex;
    if (!m_engineIndex.empty()) {
        m_comboDevice.SetCurSel(0);
        OnSelchangeDevice();
    }
    return FALSE;
}

void CChoseDevDlg::OnSelchangeDevice() {
    const int shown = m_comboDevice.GetCurSel();
    if (shown >= 0 && static_cast<size_t>(shown) < m_engineIndex.size()) m_nDevice = m_engineIndex[shown];
}

// Without a camera there is nothing to run: the close box ends the program.
void CChoseDevDlg::OnClose() { ::ExitProcess(0); }

// Escape as the close box: the program has no camera to run without a choice.
void CChoseDevDlg::OnCancel() { ::ExitProcess(0); }
