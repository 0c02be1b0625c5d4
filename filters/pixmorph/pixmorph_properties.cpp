#include "filters/pixmorph/pixmorph_properties.h"

#include <new>

#include "filters/pixmorph/pixmorph_resource.h"

CUnknown* WINAPI CPixmorphProperties::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    CPixmorphProperties* page = new (std::nothrow) CPixmorphProperties(outer);
    if (!page && phr) *phr = E_OUTOFMEMORY;
    return page;
}

CPixmorphProperties::CPixmorphProperties(LPUNKNOWN outer)
    : CBasePropertyPage(L"Prop Page", outer, IDD_PIXMORPH_PAGE, IDS_PIXMORPH_PAGE_TITLE) {}

HRESULT CPixmorphProperties::OnConnect(IUnknown* object) {
    if (!object) return E_POINTER;
    RETURN_IF_FAILED(object->QueryInterface(IID_IPixmorphControl, m_control.PutVoid()));
    RETURN_IF_FAILED(object->QueryInterface(IID_IBaseFilter, m_filter.PutVoid()));
    RETURN_IF_FAILED(m_filter->FindPin(L"Out", m_outputPin.Put()));
    return S_OK;
}

HRESULT CPixmorphProperties::OnDeactivate() {
    if (m_dialog) m_typed = ReadValues();
    m_dialog = nullptr;
    return S_OK;
}

HRESULT CPixmorphProperties::OnApplyChanges() {
    if (OutputConnected()) {
        // Connected: the filter keeps its values; so do the boxes.
        if (m_dialog) ShowValues(m_remembered);
        return S_OK;
    }
    if (!m_control) return S_OK;
    m_control->SetMultipleMode(m_multipleMode);
    const Shown typed = m_dialog ? ReadValues() : m_typed;
    m_remembered = typed;
    m_control->SetOutputSize(static_cast<int>(typed.width), static_cast<int>(typed.height));
    m_control->SetMultiple(static_cast<int>(typed.multipleX), static_cast<int>(typed.multipleY));
    return S_OK;
}

INT_PTR CPixmorphProperties::OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Remembered from every message, forgotten as the window goes.
    m_dialog = msg == WM_NCDESTROY ? nullptr : hwnd;
    switch (msg) {
    case WM_INITDIALOG:
        m_sizeRadio = GetDlgItem(hwnd, IDC_SIZE_MODE);
        m_multipleRadio = GetDlgItem(hwnd, IDC_MULTIPLE_MODE);
        m_widthEdit = GetDlgItem(hwnd, IDC_OUTPUT_WIDTH);
        m_heightEdit = GetDlgItem(hwnd, IDC_OUTPUT_HEIGHT);
        m_multipleXEdit = GetDlgItem(hwnd, IDC_MULTIPLE_X);
        m_multipleYEdit = GetDlgItem(hwnd, IDC_MULTIPLE_Y);
        // Setting the boxes' text sends WM_COMMAND back to us.
        m_filling = true;
        FillFromFilter();
        m_filling = false;
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SIZE_MODE) ShowMode(FALSE);
        if (LOWORD(wParam) == IDC_MULTIPLE_MODE) ShowMode(TRUE);
        if (!m_filling) SetDirty();
        break;
    default:
        break;
    }
    return CBasePropertyPage::OnReceiveMessage(hwnd, msg, wParam, lParam);
}

void CPixmorphProperties::FillFromFilter() {
    if (!m_control) return;
    int size[2] = {};
    int multipleX = 0, multipleY = 0;
    BOOL multiple = FALSE;
    m_control->GetOutputSize(size);
    m_control->GetMultiple(&multipleX, &multipleY);
    m_control->GetMultipleMode(&multiple);
    m_remembered = {static_cast<UINT>(size[0]), static_cast<UINT>(size[1]), static_cast<UINT>(multipleX),
                    static_cast<UINT>(multipleY)};
    ShowValues(m_remembered);
    SendMessageW(multiple ? m_multipleRadio : m_sizeRadio, BM_SETCHECK, BST_CHECKED, 0);
    ShowMode(multiple);
}

void CPixmorphProperties::ShowMode(BOOL multiple) {
    m_multipleMode = multiple;
    EnableWindow(m_multipleXEdit, multiple);
    EnableWindow(m_multipleYEdit, multiple);
    EnableWindow(m_widthEdit, !multiple);
    EnableWindow(m_heightEdit, !multiple);
}

void CPixmorphProperties::ShowValues(const Shown& values) {
    SetDlgItemInt(m_dialog, IDC_OUTPUT_WIDTH, values.width, FALSE);
    SetDlgItemInt(m_dialog, IDC_OUTPUT_HEIGHT, values.height, FALSE);
    SetDlgItemInt(m_dialog, IDC_MULTIPLE_X, values.multipleX, FALSE);
    SetDlgItemInt(m_dialog, IDC_MULTIPLE_Y, values.multipleY, FALSE);
}

CPixmorphProperties::Shown CPixmorphProperties::ReadValues() const {
    // Text that is no number reads as 0 and is passed on as such.
    return {GetDlgItemInt(m_dialog, IDC_OUTPUT_WIDTH, nullptr, FALSE),
            GetDlgItemInt(m_dialog, IDC_OUTPUT_HEIGHT, nullptr, FALSE),
            GetDlgItemInt(m_dialog, IDC_MULTIPLE_X, nullptr, FALSE),
            GetDlgItemInt(m_dialog, IDC_MULTIPLE_Y, nullptr, FALSE)};
}

bool CPixmorphProperties::OutputConnected() const {
    if (!m_outputPin) return false;
    ComPtr<IPin> peer;
    return SUCCEEDED(m_outputPin->ConnectedTo(peer.Put())) && peer;
}
