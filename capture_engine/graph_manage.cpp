#include "capture_engine/graph_manage.h"

#include "capture_engine/device_routines.h"
#include "capture_engine/graph_routines.h"

using namespace graph_routines;

CGraphManage::CGraphManage() {
    // A graph that cannot be created leaves every capture export failing cleanly.
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, m_captureGraph.PutVoid());
}

CGraphManage::~CGraphManage() {
    TearDownGraph();
    if (m_playGraphPresent) TearDownGraph2();
}

HRESULT CGraphManage::CaptureMediaControl() {
    if (m_mediaControl) return S_OK;
    if (!m_captureGraph) return E_POINTER;
    return m_captureGraph.As(&m_mediaControl);
}

// The stop sequence on the capture graph. The control is fetched when a
// failed Stop left the running flag set after the control was dropped.
HRESULT CGraphManage::StopCapture() {
    RETURN_IF_STEP_FAILED(CaptureMediaControl());
    const HRESULT stopped = StopSequence(m_mediaControl.Get(), &m_captureRunning);
    if (FAILED(stopped)) return FAIL_STEP("StopSequence", stopped);
    return stopped;
}

void CGraphManage::SetAudioDevice(int index) {
    m_audioDeviceIndex = index;
    if (!m_captureGraph) return;
    if (m_audioCapture) {
        m_captureGraph->RemoveFilter(m_audioCapture.Get());
        m_audioCapture.Reset();
    }
    device_routines::AddSelectedDevice(m_captureGraph.Get(), CLSID_AudioInputDeviceCategory, index,
                                       L"Audio Capture Filter", &m_audioCapture);
}

void CGraphManage::DeleteVideoDevice() {
    if (m_captureRunning) StopCapture();
    ReleaseControlAndWindow(&m_mediaControl, &m_videoWindow);
    DisconnectAll(m_captureGraph.Get());
    if (m_videoCapture) {
        if (m_captureGraph) m_captureGraph->RemoveFilter(m_videoCapture.Get());
        m_videoCapture.Reset();
    }
}

void CGraphManage::TearDownGraph() {
    if (m_captureRunning) StopCapture();
    DisconnectAll(m_captureGraph.Get());
    m_videoCapture.Reset();
    m_snapshot.Reset();
    m_aviMux.Reset();
    m_tee.Reset();
    m_fileWriter.Reset();
    m_videoRenderer.Reset();
    m_audioCapture.Reset();
    m_mpegEncoder.Reset();
    m_audioEncoder.Reset();
    m_mpegFileSink.Reset();
    m_mediaControl.Reset();
    m_colourConverter.Reset();
    m_pixmorph.Reset();
    m_mpegMux.Reset();
    ReleaseControlAndWindow(&m_mediaControl, &m_videoWindow);
    // The graph takes its filters with it.
    m_captureGraph.Reset();
}
