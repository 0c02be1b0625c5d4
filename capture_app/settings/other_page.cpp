#include "capture_app/settings/other_page.h"

#include <ole2.h>
#include <shlobj.h>

#include <string>

#include "app_toolkit/module_paths.h"
#include "capture_app/settings/settings_model.h"
#include "capture_app/settings/settings_resource.h"
#include "narrow_text/ansi_form.h"

namespace {

// Controls of the main dialog that make no sense on an enlarged picture.
const int kMainRecordButton = 1007;
const int kMainSizeCombo = 1019;

const wchar_t kBrowseTitle[] = L"Select derectory as workarea...";
const wchar_t kWorkPathError[] = L"The Snapory! work path is error";

}  // namespace

COtherPage::COtherPage(HWND mainWindow) : CBasePage(IDD_SETTINGS_OTHER_PAGE), m_mainWindow(mainWindow) {
    MapCommand(IDC_OTHER_WORK_PATH, EN_CHANGE, &COtherPage::OnWorkPathEdited);
    MapCommand(IDC_OTHER_SIZE_COMBO, CBN_SELCHANGE, &COtherPage::OnSizeChosen);
    MapClicked(IDC_OTHER_ALLOW, &COtherPage::OnAllowClicked);
    MapClicked(IDC_OTHER_BROWSE, &COtherPage::OnBrowse);
}

BOOL COtherPage::OnInitDialog() {
    m_folder = WorkPath();
    SetDlgItemText(IDC_OTHER_WORK_PATH, m_folder);
    BindControl(IDC_OTHER_SIZE_COMBO, m_sizes);
    for (const settings_rules::InterpolationSize& size : settings_rules::kInterpolationSizes)
        m_sizes.AddString(settings_rules::SizeText(size.width, size.height).c_str());
    m_sizes.SetCurSel(settings_rules::InterpolationSelection(InterpolationSizeIndex()));

    SetDlgItemText(IDC_OTHER_WORK_GROUP, SettingsText("OtherSetting", "WorkPath"));
    SetDlgItemText(IDC_OTHER_BROWSE, SettingsText("OtherSetting", "Browse"));
    SetDlgItemText(IDC_OTHER_IMAGE_GROUP, SettingsText("OtherSetting", "ImageSet"));
    SetDlgItemText(IDC_OTHER_SIZE_LABEL, SettingsText("OtherSetting", "ImageSize"));
    SetDlgItemText(IDC_OTHER_ALLOW, SettingsText("OtherSetting", "Allow"));

    const bool on = InterpolationEnabled();
    m_sizes.EnableWindow(on);
    CheckDlgButton(IDC_OTHER_ALLOW, on ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void COtherPage::OnWorkPathEdited() { NotifySettingChanged(); }

void COtherPage::OnSizeChosen() {
    const int chosen = m_sizes.GetCurSel();
    if (chosen == CB_ERR) return;
    SetInterpolationSizeIndex(chosen);
    NotifySettingChanged();
}

// Acts at once, before Apply, and Cancel does not undo it: the main window's
// controls follow the switch as soon as it is flipped.
void COtherPage::OnAllowClicked() {
    NotifySettingChanged();
    const bool on = IsDlgButtonChecked(IDC_OTHER_ALLOW) == BST_CHECKED;
    SetInterpolationEnabled(on);
    m_sizes.EnableWindow(on);
    EnableMainWindowControls(!on);
    m_switchFlipped = !m_switchFlipped;
}

void COtherPage::EnableMainWindowControls(bool enable) {
    if (!m_mainWindow) return;
    ::EnableWindow(::GetDlgItem(m_mainWindow, kMainRecordButton), enable);
    ::EnableWindow(::GetDlgItem(m_mainWindow, kMainSizeCombo), enable);
}

void COtherPage::OnBrowse() {
    // The new dialog style wants OLE on the thread; the engine set up only COM.
    const bool ole = SUCCEEDED(::OleInitialize(nullptr));
    CString chosen;
    const bool picked = BrowseForFolder(
        m_hWnd, kBrowseTitle, BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, m_folder, &chosen);
    if (ole) ::OleUninitialize();
    if (!picked) return;
    m_folder = chosen;
    SetDlgItemText(IDC_OTHER_WORK_PATH, m_folder);
}

void COtherPage::ApplyWorkPath() {
    GetDlgItemText(IDC_OTHER_WORK_PATH, m_folder);
    // The folder must survive config.ini, which keeps it as ANSI text, and
    // take snapshots, whose names reach the snapshot filter as ANSI text.
    std::string ansi;
    const bool kept = ExactNarrowForm(CP_ACP, m_folder, &ansi) && ansi.size() <= settings_rules::kWorkPathAnsiBytes;
    if (kept && CreateDirectoryTree(m_folder))
        SetWorkPath(m_folder);
    else
        MessageBox(kWorkPathError);
}

bool COtherPage::OnApply() {
    ApplyWorkPath();
    if (InterpolationEnabled()) {
        if (const settings_rules::InterpolationSize* size = settings_rules::InterpolationSizeAt(m_sizes.GetCurSel()))
            StartConvertedPreview(*size);
    } else if (m_switchFlipped) {
        ReturnToNativeSize();
    }
    m_switchFlipped = false;
    return true;
}
