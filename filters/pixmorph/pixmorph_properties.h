// CPixmorphProperties: the filter's "Video" page. Size mode or multiple
// mode, the output size or the two multiples; values reach the filter only
// while its output is unconnected, so they shape the next connection.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/streams.h"
#include "filters/pixmorph/pixmorph_api.h"

class CPixmorphProperties : public CBasePropertyPage {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);

    HRESULT OnConnect(IUnknown* object) override;
    HRESULT OnDeactivate() override;
    HRESULT OnApplyChanges() override;
    INT_PTR OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    explicit CPixmorphProperties(LPUNKNOWN outer);

    struct Shown {
        UINT width, height, multipleX, multipleY;
    };

    void FillFromFilter();
    void ShowMode(BOOL multiple);
    void ShowValues(const Shown& values);
    Shown ReadValues() const;
    bool OutputConnected() const;

    // Held until the page object goes, not released at OnDisconnect.
    ComPtr<IPixmorphControl> m_control;
    ComPtr<IBaseFilter> m_filter;
    ComPtr<IPin> m_outputPin;

    HWND m_dialog = nullptr;
    HWND m_sizeRadio = nullptr, m_multipleRadio = nullptr;
    HWND m_widthEdit = nullptr, m_heightEdit = nullptr, m_multipleXEdit = nullptr, m_multipleYEdit = nullptr;
    Shown m_remembered = {0, 0, 0, 0};  // last shown in or read from the boxes
    BOOL m_multipleMode = FALSE;        // as last chosen on the page
    // What the boxes held when the dialog went away, for an Apply after that.
    Shown m_typed = {0, 0, 0, 0};
    bool m_filling = false;  // our own WM_INITDIALOG fill is no edit
};
