// Listing and changing the capture size; a change rebuilds and restarts the preview.
#include "capture_engine/graph_manage.h"

#include "capture_engine/graph_routines.h"
#include "capture_engine/video_size_routines.h"
#include "filters/pixmorph/pixmorph_api.h"
#include "capture_engine/korvel.h"

using namespace graph_routines;

namespace {

// The connected capture pin's configuration and its current format as a
// VIDEOINFOHEADER that the caller may change.
HRESULT FormatToChange(IBaseFilter* capture, ComPtr<IAMStreamConfig>* config, MediaTypeHolder* format,
                       VIDEOINFOHEADER** info) {
    RETURN_IF_STEP_FAILED(video_size_routines::CurrentCaptureFormat(capture, config, format));
    *info = format->VideoInfo();
    return *info ? S_OK : VFW_E_INVALIDMEDIATYPE;
}

}  // namespace

HRESULT CGraphManage::GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes) {
    return video_size_routines::ListVideoSizes(m_videoCapture.Get(), count, currentIndex, sizes,
                                               KORVEL_MAX_VIDEO_SIZES);
}

HRESULT CGraphManage::SetVideoSize(const tag_VideoSize& size) {
    ComPtr<IAMStreamConfig> config;
    MediaTypeHolder format;
    VIDEOINFOHEADER* info = nullptr;
    RETURN_IF_STEP_FAILED(FormatToChange(m_videoCapture.Get(), &config, &format, &info));
    info->bmiHeader.biWidth = size.width;
    info->bmiHeader.biHeight = size.height;
    if (m_captureRunning) RETURN_IF_STEP_FAILED(StopCapture());
    DisconnectAll(m_captureGraph.Get());
    const HRESULT accepted = config->SetFormat(format.Get());
    RemoveAndRelease(m_captureGraph.Get(), &m_pixmorph);
    RebuildAndRun(false);
    return accepted;
}

HRESULT CGraphManage::SetVideoSizeEx(const tag_VideoSize& captureSize, const tag_VideoSize& outputSize) {
    ComPtr<IAMStreamConfig> config;
    MediaTypeHolder format;
    VIDEOINFOHEADER* info = nullptr;
    RETURN_IF_STEP_FAILED(FormatToChange(m_videoCapture.Get(), &config, &format, &info));
    info->bmiHeader.biWidth = captureSize.width;
    info->bmiHeader.biHeight = captureSize.height;
    info->AvgTimePerFrame = 1000000;  // 10 frames per second: enlarging costs time per frame
    if (m_captureRunning) RETURN_IF_STEP_FAILED(StopCapture());
    DisconnectAll(m_captureGraph.Get());
    config->SetFormat(format.Get());

    RETURN_IF_STEP_FAILED(CreateFilterOnce(m_captureGraph.Get(), CLSID_Pixmorph, L"Chromaver Filter", &m_pixmorph));
    ComPtr<IPixmorphControl> control;
    RETURN_IF_STEP_FAILED(m_pixmorph->QueryInterface(IID_IPixmorphControl, control.PutVoid()));
    control->SetMultipleMode(FALSE);
    const HRESULT accepted = control->SetOutputSize(outputSize.width, outputSize.height);
    int readBack[2] = {};
    control->GetOutputSize(readBack);
    control.Reset();

    RebuildAndRun(true);
    return accepted;
}
