// The playback graph: a media file rendered into a window, driven and sought
// in whole seconds, its events announced to the window by a message.
#include "capture_engine/graph_manage.h"

#include "capture_engine/graph_routines.h"
#include "filters/snapshot/snapshot_api.h"
#include "capture_engine/korvel.h"

namespace {

constexpr LONGLONG kUnitsPerSecond = 10000000;  // media time counts 100 ns

HRESULT SecondsOut(HRESULT hr, LONGLONG position, int* seconds) {
    *seconds = SUCCEEDED(hr) ? int(position / kUnitsPerSecond) : 0;
    return hr;
}

}  // namespace

HRESULT CGraphManage::RenderMediaFile(LPCWSTR fileName) {
    if (!fileName) return E_POINTER;
    // A graph still present goes first, so no interface of it outlives it.
    if (m_playGraphPresent) RETURN_IF_STEP_FAILED(TearDownGraph2());
    const HRESULT created = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                             m_playGraph.PutVoid());
    m_playGraphPresent = 1;
    if (FAILED(created)) return FAIL_STEP("CoCreateInstance(CLSID_FilterGraph)", created);
    // In the graph before rendering, the snapshot filter is taken into the
    // video path by the graph builder's automatic connection.
    if (!m_playSnapshot &&
        SUCCEEDED(CoCreateInstance(CLSID_SnapshotFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   m_playSnapshot.PutVoid())))
        m_playGraph->AddFilter(m_playSnapshot.Get(), L"Snapshot Filter");
    const HRESULT hr = m_playGraph->RenderFile(fileName, nullptr);
    if (FAILED(hr)) {
        m_playSnapshot.Reset();
        m_playGraph.Reset();
        return hr;
    }
    return S_OK;
}

// The playback media control, fetched on first need.
HRESULT CGraphManage::PlaybackControl() {
    if (m_playControl) return S_OK;
    if (!m_playGraph) return E_POINTER;
    return m_playGraph.As(&m_playControl);
}

HRESULT CGraphManage::RunGraph2() {
    m_playState = PlayState_Running;
    if (!m_playGraph) return E_POINTER;
    HRESULT query = S_OK;
    if (!m_playSeeking) {
        query = m_playGraph.As(&m_playSeeking);
        if (SUCCEEDED(query)) m_playSeeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    }
    if (!m_playControl) query = m_playGraph.As(&m_playControl);
    if (FAILED(query)) return FAIL_STEP("the playback graph's IMediaSeeking or IMediaControl", query);
    const HRESULT hr = m_playControl->Run();
    if (FAILED(hr)) {
        m_playControl->Stop();
        return hr;
    }
    return S_OK;
}

HRESULT CGraphManage::PauseGraph2() {
    if (m_playState == PlayState_Paused) return S_OK;
    HRESULT hr = PlaybackControl();
    if (SUCCEEDED(hr)) hr = m_playControl->Pause();
    m_playState = PlayState_Paused;
    return hr;
}

HRESULT CGraphManage::StopGraph2() {
    if (m_playState == PlayState_Stopped) return S_OK;
    HRESULT hr = PlaybackControl();
    if (SUCCEEDED(hr)) {
        m_playControl->Pause();
        hr = m_playControl->Stop();
    }
    m_playState = PlayState_Stopped;
    return hr;
}

HRESULT CGraphManage::SetPlayWindow2(HWND window) {
    if (!m_playWindowIf) {
        if (!m_playGraph) return E_POINTER;
        RETURN_IF_STEP_FAILED(m_playGraph->QueryInterface(IID_IVideoWindow, m_playWindowIf.PutVoid()));
    }
    // The notify window is registered once per rendered file.
    if (!m_playEvents && SUCCEEDED(m_playGraph->QueryInterface(IID_IMediaEventEx, m_playEvents.PutVoid())))
        m_playEvents->SetNotifyWindow(reinterpret_cast<OAHWND>(window), KORVEL_WM_GRAPH_NOTIFY, 0);
    m_playWindowIf->put_Owner(reinterpret_cast<OAHWND>(window));
    m_playWindowIf->put_MessageDrain(reinterpret_cast<OAHWND>(window));
    m_playWindowIf->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    RECT client = {};
    GetClientRect(window, &client);
    m_playWindowIf->SetWindowPosition(0, 0, client.right, client.bottom);
    return m_playWindowIf->put_Visible(OATRUE);
}

HRESULT CGraphManage::SetPlayWindowPosition2(const RECT& rect) {
    if (!m_playWindowIf) return E_FAIL;
    return m_playWindowIf->SetWindowPosition(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

HRESULT CGraphManage::TearDownGraph2() {
    // Without a media control the graph was never started, so there is nothing to stop.
    if (m_playState != PlayState_Stopped && m_playControl) {
        m_playControl->Pause();
        const HRESULT stopped = m_playControl->Stop();
        m_playState = PlayState_Stopped;
        if (FAILED(stopped)) return FAIL_STEP("IMediaControl::Stop", stopped);
    }
    m_playState = PlayState_Stopped;
    m_playControl.Reset();
    m_playSeeking.Reset();
    if (m_playWindowIf) {
        m_playWindowIf->put_Visible(OAFALSE);
        m_playWindowIf->put_Owner(0);
        m_playWindowIf->put_MessageDrain(0);
        m_playWindowIf.Reset();
    }
    m_playEvents.Reset();
    if (m_playGraph) {
        graph_routines::DisconnectAll(m_playGraph.Get());
        graph_routines::RemoveAndRelease(m_playGraph.Get(), &m_playSnapshot);
    }
    m_playGraphPresent = 0;
    m_playGraph.Reset();
    return S_OK;
}

HRESULT CGraphManage::GetStopTime2(int* seconds) {
    if (!seconds) return E_POINTER;
    LONGLONG position = 0;
    const HRESULT hr = m_playSeeking ? m_playSeeking->GetStopPosition(&position) : E_FAIL;
    return SecondsOut(hr, position, seconds);
}

HRESULT CGraphManage::GetCurTime2(int* seconds) {
    if (!seconds) return E_POINTER;
    LONGLONG position = 0;
    const HRESULT hr = m_playSeeking ? m_playSeeking->GetCurrentPosition(&position) : E_FAIL;
    return SecondsOut(hr, position, seconds);
}

HRESULT CGraphManage::SetCurTime2(int currentSeconds, int stopSeconds) {
    if (!m_playSeeking) return E_FAIL;
    LONGLONG current = LONGLONG(currentSeconds) * kUnitsPerSecond;
    LONGLONG stop = LONGLONG(stopSeconds) * kUnitsPerSecond;
    return m_playSeeking->SetPositions(&current, AM_SEEKING_AbsolutePositioning, &stop,
                                       AM_SEEKING_AbsolutePositioning);
}

HRESULT CGraphManage::GetEventCode2(long* eventCode) {
    if (!eventCode) return E_POINTER;
    if (!m_playEvents) return E_FAIL;
    long code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    // No event waiting (E_ABORT) is the usual answer of a poll: not traced.
    RETURN_IF_FAILED(m_playEvents->GetEvent(&code, &param1, &param2, 0));
    m_playEvents->FreeEventParams(code, param1, param2);
    *eventCode = code;
    return S_OK;
}
