// Building and running the preview topologies, and hosting their video in
// the caller's window.
#include "capture_engine/graph_manage.h"

#include "capture_engine/device_routines.h"
#include "capture_engine/graph_routines.h"
#include "filters/snapshot/snapshot_api.h"
#include "filters/pixmorph/pixmorph_api.h"

using namespace graph_routines;

namespace {
// How long RunGraph waits for a graph that is still changing to running; a
// live graph that takes longer is left to finish on its own.
constexpr LONG kRunSettleMilliseconds = 2000;
}  // namespace

// Creates or reuses the filters every preview has: capture device, snapshot
// filter, renderer, and the audio device that only recording connects.
HRESULT CGraphManage::AddPreviewSources() {
    IGraphBuilder* graph = m_captureGraph.Get();
    if (!graph) return FAIL_STEP("a capture graph", E_POINTER);
    RETURN_IF_STEP_FAILED(device_routines::AddSelectedDevice(graph, CLSID_VideoInputDeviceCategory, m_videoDeviceIndex,
                                                        L"Video Capture", &m_videoCapture));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_SnapshotFilter, L"Snapshot Filter", &m_snapshot));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_VideoRendererDefault, L"Video Render", &m_videoRenderer));
    return device_routines::AddSelectedDevice(graph, CLSID_AudioInputDeviceCategory, m_audioDeviceIndex,
                                              L"Audio Capture Filter", &m_audioCapture);
}

HRESULT CGraphManage::RunPreview() {
    if (!m_captureGraph) return FAIL_STEP("a capture graph", E_POINTER);
    DisconnectAll(m_captureGraph.Get());
    RETURN_IF_STEP_FAILED(AddPreviewSources());
    RemoveAndRelease(m_captureGraph.Get(), &m_pixmorph);
    RETURN_IF_STEP_FAILED(ConnectFilters(m_captureGraph.Get(), m_videoCapture.Get(), m_snapshot.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(m_captureGraph.Get(), m_snapshot.Get(), m_videoRenderer.Get()));
    m_graphMode = GraphMode_Preview;
    return S_OK;
}

// Expects a disconnected graph, as the converted size change leaves it.
HRESULT CGraphManage::RunPreviewEx() {
    RETURN_IF_STEP_FAILED(AddPreviewSources());
    IGraphBuilder* graph = m_captureGraph.Get();
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_Colour, L"colorspace Filter", &m_colourConverter));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_Pixmorph, L"Chromaver Filter", &m_pixmorph));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_videoCapture.Get(), m_pixmorph.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_pixmorph.Get(), m_snapshot.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_snapshot.Get(), m_colourConverter.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_colourConverter.Get(), m_videoRenderer.Get()));
    m_graphMode = GraphMode_Preview;
    return S_OK;
}

HRESULT CGraphManage::RunGraph() {
    if (m_captureRunning) return S_OK;
    RETURN_IF_STEP_FAILED(CaptureMediaControl());
    HRESULT hr = m_mediaControl->Run();
    if (hr == S_FALSE) {
        // The graph completes the change on its own; a filter that fails to
        // pause then (a file sink that cannot open its file) is reported only here.
        OAFilterState state;
        const HRESULT settled = m_mediaControl->GetState(kRunSettleMilliseconds, &state);
        if (FAILED(settled)) hr = settled;
    }
    if (FAILED(hr)) {
        m_mediaControl->Stop();
        StopEveryFilter(m_captureGraph.Get());
        return FAIL_STEP("IMediaControl::Run", hr);
    }
    m_captureRunning = 1;
    return hr;
}

HRESULT CGraphManage::StopGraph() {
    if (!m_captureRunning) return S_OK;
    return StopCapture();
}

HRESULT CGraphManage::AttachWindow(HWND window) {
    if (!m_videoWindow) {
        if (!m_captureGraph) return E_POINTER;
        RETURN_IF_STEP_FAILED(m_captureGraph->QueryInterface(IID_IVideoWindow, m_videoWindow.PutVoid()));
    }
    if (!window) {
        m_videoWindow->put_Owner(0);
        m_videoWindow->put_MessageDrain(0);
        m_videoWindow->put_Visible(OAFALSE);
        return S_OK;
    }
    m_videoWindow->put_Owner(reinterpret_cast<OAHWND>(window));
    m_videoWindow->put_MessageDrain(reinterpret_cast<OAHWND>(window));
    m_videoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    RECT client = {};
    GetClientRect(window, &client);
    m_videoWindow->SetWindowPosition(0, 0, client.right, client.bottom);
    return m_videoWindow->put_Visible(OATRUE);
}

HRESULT CGraphManage::SetPlayWindow(HWND window) {
    m_playWindow = window;
    return AttachWindow(window);
}

HRESULT CGraphManage::SetWindowPosition(const RECT& rect) {
    if (!m_videoWindow) return FAIL_STEP("a video window", E_FAIL);
    m_videoWindowRect = rect;
    return m_videoWindow->SetWindowPosition(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void CGraphManage::RestoreWindowRect() {
    if (!m_videoWindow) return;
    const RECT& r = m_videoWindowRect;
    m_videoWindow->SetWindowPosition(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// After a size change: the chosen preview, the window and its rectangle
// back, and running again. The caller reports only the format's acceptance.
void CGraphManage::RebuildAndRun(bool converted) {
    if (converted)
        RunPreviewEx();
    else
        RunPreview();
    AttachWindow(m_playWindow);
    RestoreWindowRect();
    RunGraph();
}
