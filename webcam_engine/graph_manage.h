// The virtual webcam engine object: owns its one graph, "Video Capture" ->
// "Effect Filter" -> "InfPin Filter" -> "Null Render" and "InfPin Filter" ->
// "Video Send Filter", and every filter and interface in it. One object per
// process, used from the thread that created it.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "capture_engine/video_size_record.h"
#include "dshow_base/com_ptr.h"
#include "filters/effect/effect_filter_api.h"

class CGraphManage {
public:
    CGraphManage();
    virtual ~CGraphManage();
    CGraphManage(const CGraphManage&) = delete;
    CGraphManage& operator=(const CGraphManage&) = delete;

    HRESULT RenderDevice(int index);
    HRESULT GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes);
    HRESULT SetVideoSize(const tag_VideoSize& size);

    // Runs `call` on the effect filter's control interface.
    template <typename Call>
    HRESULT OnEffect(Call call) {
        if (!m_effect) return E_NOINTERFACE;
        ComPtr<IEffectControl> control;
        HRESULT hr = m_effect->QueryInterface(IID_IEffectControl, control.PutVoid());
        if (FAILED(hr)) return hr;
        return call(control.Get());
    }

private:
    HRESULT BuildAndRun();
    HRESULT Run();

    int m_running = 0;
    int m_videoDeviceIndex = 0;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IBaseFilter> m_videoCapture;
    ComPtr<IBaseFilter> m_effect;
    ComPtr<IBaseFilter> m_tee;
    ComPtr<IBaseFilter> m_nullRender;
    ComPtr<IBaseFilter> m_videoSend;
    ComPtr<IMediaControl> m_mediaControl;
};
