#include "webcam_engine/graph_manage.h"

#include "capture_engine/device_routines.h"
#include "capture_engine/engine_trace.h"
#include "capture_engine/graph_routines.h"
#include "capture_engine/media_type_holder.h"
#include "capture_engine/video_size_routines.h"
#include "filters/video_send/video_send_api.h"
#include "webcam_engine/lumivox.h"

namespace {

// qedit.h's CLSID_NullRenderer, which MinGW's headers lack.
const CLSID kNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

// How long a run may take to settle before its outcome counts.
constexpr LONG kRunSettleMs = 3000;

}  // namespace

using device_routines::AddSelectedDevice;
using graph_routines::ConnectFilters;
using graph_routines::CreateFilterOnce;

CGraphManage::CGraphManage() {
    // Failures stay silent here: the exports then fail or find nothing to do.
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                m_graph.PutVoid()))) {
        return;
    }
    AddSelectedDevice(m_graph.Get(), CLSID_VideoInputDeviceCategory, 0, L"Video Capture", &m_videoCapture);
}

CGraphManage::~CGraphManage() {
    if (m_running) graph_routines::StopSequence(m_mediaControl.Get(), &m_running);
    graph_routines::DisconnectAll(m_graph.Get());
    m_videoCapture.Reset();
    m_effect.Reset();
    m_tee.Reset();
    m_nullRender.Reset();
    m_videoSend.Reset();
    m_mediaControl.Reset();
    m_graph.Reset();
}

HRESULT CGraphManage::RenderDevice(int index) {
    m_videoDeviceIndex = index;
    if (m_mediaControl && m_running) graph_routines::StopSequence(m_mediaControl.Get(), &m_running);
    m_mediaControl.Reset();
    graph_routines::DisconnectAll(m_graph.Get());
    graph_routines::RemoveAndRelease(m_graph.Get(), &m_videoCapture);
    return BuildAndRun();
}

// Filters are created once and reused by every rebuild; a failed build
// leaves those it made in the graph for the next attempt.
HRESULT CGraphManage::BuildAndRun() {
    IGraphBuilder* graph = m_graph.Get();
    RETURN_IF_STEP_FAILED(
        AddSelectedDevice(graph, CLSID_VideoInputDeviceCategory, m_videoDeviceIndex, L"Video Capture", &m_videoCapture));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_EffectFilter, L"Effect Filter", &m_effect));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_InfTee, L"InfPin Filter", &m_tee));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, kNullRenderer, L"Null Render", &m_nullRender));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_VideoSendFilter, L"Video Send Filter", &m_videoSend));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_videoCapture.Get(), m_effect.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_effect.Get(), m_tee.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_tee.Get(), m_nullRender.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_tee.Get(), m_videoSend.Get()));
    RETURN_IF_STEP_FAILED(Run());
    return S_OK;
}

HRESULT CGraphManage::Run() {
    if (m_running) return S_OK;
    if (!m_mediaControl) {
        if (!m_graph) return E_POINTER;
        RETURN_IF_STEP_FAILED(m_graph->QueryInterface(IID_IMediaControl, m_mediaControl.PutVoid()));
    }
    HRESULT hr = m_mediaControl->Run();
    if (hr == S_FALSE) {
        // Some filters are still on their way to running (Wine's graph pauses
        // them asynchronously): a source that refuses, say a camera another
        // program holds, only shows in the state the graph reaches.
        OAFilterState state = State_Stopped;
        const HRESULT reached = m_mediaControl->GetState(kRunSettleMs, &state);
        if (FAILED(reached)) hr = reached;
    }
    if (FAILED(hr)) {
        m_mediaControl->Stop();
        // The graph may count itself stopped with filters it had paused.
        graph_routines::StopEveryFilter(m_graph.Get());
        return hr;
    }
    m_running = 1;
    return hr;
}

HRESULT CGraphManage::GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes) {
    return video_size_routines::ListVideoSizesOf(m_videoCapture.Get(), MEDIASUBTYPE_RGB24, count, currentIndex,
                                                 sizes, LUMIVOX_MAX_VIDEO_SIZES);
}

HRESULT CGraphManage::SetVideoSize(const tag_VideoSize& size) {
    ComPtr<IAMStreamConfig> config;
    MediaTypeHolder format;
    RETURN_IF_STEP_FAILED(video_size_routines::CurrentCaptureFormat(m_videoCapture.Get(), &config, &format));
    VIDEOINFOHEADER* info = format.VideoInfo();
    if (!info) return FAIL_STEP("the capture format has no VIDEOINFOHEADER", VFW_E_INVALIDMEDIATYPE);
    info->bmiHeader.biWidth = size.width;
    info->bmiHeader.biHeight = size.height;
    if (m_running) RETURN_IF_STEP_FAILED(graph_routines::StopSequence(m_mediaControl.Get(), &m_running));
    graph_routines::DisconnectAll(m_graph.Get());
    const HRESULT accepted = config->SetFormat(format.Get());
    BuildAndRun();
    return accepted;
}
