// The test camera's property page: shows the current capture format and lets
// the user choose the frame rate, applied through the pin's IAMStreamConfig
// (so only while the camera is stopped, as with a real device).
#pragma once

#include <strmif.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/property_page.h"

namespace test_devices {

class CCameraPropertyPage : public CBasePropertyPage {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);

    HRESULT OnConnect(IUnknown* object) override;
    HRESULT OnDisconnect() override;
    HRESULT OnActivate() override;
    HRESULT OnApplyChanges() override;
    INT_PTR OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    explicit CCameraPropertyPage(LPUNKNOWN outer);
    void ShowFormat();

    ComPtr<IAMStreamConfig> streamConfig_;
    REFERENCE_TIME pendingInterval_ = 0;  // chosen on the page, not applied yet
};

}  // namespace test_devices
