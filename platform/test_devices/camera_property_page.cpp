#include "test_devices/camera_property_page.h"

#include <amvideo.h>
#include <strsafe.h>
#include <dshow.h>

#include <iterator>
#include <new>

#include "dshow_base/media_type.h"
#include "test_devices/camera_page_resources.h"

namespace test_devices {
namespace {

struct RateChoice {
    const wchar_t* label;
    REFERENCE_TIME interval;
};
constexpr RateChoice kRates[] = {
    {L"30 frames per second", 333333},  {L"15 frames per second", 666667},
    {L"10 frames per second", 1000000}, {L"5 frames per second", 2000000},
    {L"1 frame per second", 10000000},
};

const VIDEOINFOHEADER* VideoInfo(const AM_MEDIA_TYPE& type) {
    if (!IsEqualGUID(type.formattype, FORMAT_VideoInfo) || type.cbFormat < sizeof(VIDEOINFOHEADER)) {
        return nullptr;
    }
    return reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
}

// "640 x 480 RGB24"
void DescribeVideoType(const VIDEOINFOHEADER& vih, wchar_t* text, size_t size) {
    const DWORD fourcc = vih.bmiHeader.biCompression;
    wchar_t name[8] = L"RGB24";
    if (fourcc != BI_RGB) {
        for (int i = 0; i < 4; ++i) name[i] = wchar_t((fourcc >> (8 * i)) & 0xff);
        name[4] = 0;
    }
    StringCchPrintfW(text, size, L"%ld x %ld %ls", vih.bmiHeader.biWidth, vih.bmiHeader.biHeight,
                     name);
}

}  // namespace

CCameraPropertyPage::CCameraPropertyPage(LPUNKNOWN outer)
    : CBasePropertyPage(L"Test camera property page", outer, IDD_CAMERA_PAGE,
                        IDS_CAMERA_PAGE_TITLE) {}

CUnknown* WINAPI CCameraPropertyPage::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* page = new (std::nothrow) CCameraPropertyPage(outer);
    if (!page) *phr = E_OUTOFMEMORY;
    return page;
}

HRESULT CCameraPropertyPage::OnConnect(IUnknown* object) {
    ComPtr<IUnknown> unknown(object);
    ComPtr<IBaseFilter> filter;
    ComPtr<IPin> pin;
    RETURN_IF_FAILED(unknown.As(&filter));
    RETURN_IF_FAILED(filter->FindPin(L"Capture", pin.Put()));
    return pin.As(&streamConfig_);
}

HRESULT CCameraPropertyPage::OnDisconnect() {
    streamConfig_.Reset();
    return S_OK;
}

HRESULT CCameraPropertyPage::OnActivate() {
    if (!streamConfig_) return E_UNEXPECTED;
    ShowFormat();
    return S_OK;
}

void CCameraPropertyPage::ShowFormat() {
    wchar_t text[128] = L"(unknown)";
    REFERENCE_TIME interval = 0;
    AM_MEDIA_TYPE* type = nullptr;
    if (SUCCEEDED(streamConfig_->GetFormat(&type)) && type) {
        if (const VIDEOINFOHEADER* vih = VideoInfo(*type)) {
            DescribeVideoType(*vih, text, std::size(text));
            interval = vih->AvgTimePerFrame;
        }
        DeleteMediaType(type);
    }
    SetDlgItemTextW(m_hwnd, IDC_CAMERA_FORMAT, text);
    const HWND combo = GetDlgItem(m_hwnd, IDC_CAMERA_RATE);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < std::size(kRates); ++i) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kRates[i].label));
        if (kRates[i].interval == interval) SendMessageW(combo, CB_SETCURSEL, i, 0);
    }
}

HRESULT CCameraPropertyPage::SetFrameInterval(REFERENCE_TIME interval) {
    AM_MEDIA_TYPE* type = nullptr;
    RETURN_IF_FAILED(streamConfig_->GetFormat(&type));
    CMediaType format(*type);
    DeleteMediaType(type);
    if (!VideoInfo(format)) return VFW_E_INVALIDMEDIATYPE;
    reinterpret_cast<VIDEOINFOHEADER*>(format.Format())->AvgTimePerFrame = interval;
    return streamConfig_->SetFormat(&format);
}

INT_PTR CCameraPropertyPage::OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_CAMERA_RATE && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT i = SendDlgItemMessageW(hwnd, IDC_CAMERA_RATE, CB_GETCURSEL, 0, 0);
        if (i < 0 || size_t(i) >= std::size(kRates) || !streamConfig_) return TRUE;
        const HRESULT hr = SetFrameInterval(kRates[i].interval);
        SetDlgItemTextW(hwnd, IDC_CAMERA_STATUS,
                        hr == VFW_E_NOT_STOPPED ? L"Stop the camera to change its frame rate."
                        : FAILED(hr)            ? L"The camera refused this frame rate."
                                                : L"");
        // Shows what the camera now does, which after a refusal is the old rate.
        ShowFormat();
        return TRUE;
    }
    return CBasePropertyPage::OnReceiveMessage(hwnd, msg, wParam, lParam);
}

}  // namespace test_devices
