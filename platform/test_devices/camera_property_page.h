// The test camera's property page: shows the current capture format and lets
// the user choose the frame rate. Like a camera driver's page it changes the
// device as soon as the choice is made, through the pin's IAMStreamConfig, so
// only while the camera is stopped; a refusal is shown on the page.
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
    INT_PTR OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    explicit CCameraPropertyPage(LPUNKNOWN outer);
    void ShowFormat();
    HRESULT SetFrameInterval(REFERENCE_TIME interval);

    ComPtr<IAMStreamConfig> streamConfig_;
};

}  // namespace test_devices
