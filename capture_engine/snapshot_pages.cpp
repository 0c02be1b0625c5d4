// Stills through the snapshot filter, and the capture devices' own settings pages.
#include "capture_engine/graph_manage.h"

#include <olectl.h>

#include <cstring>
#include <string>

#include "filters/snapshot/snapshot_api.h"
#include "narrow_text/ansi_form.h"

namespace {

// The request record for a file name; a name without an exact ANSI form, or
// one whose ANSI form does not fit the record, is refused rather than
// written under another name.
HRESULT FillSnapshotRequest(LPCWSTR fileName, int bitmap, int quality, SnapshotRequest* request) {
    if (!fileName) return E_POINTER;
    ZeroMemory(request, sizeof(*request));
    request->size = sizeof(SnapshotRequest);
    request->format = bitmap ? kSnapshotBitmap : kSnapshotJpeg;
    // Checked by converting back: the conversion's own report of a lossy
    // character is refused where the ANSI code page is UTF-8.
    std::string path;
    if (!ExactNarrowForm(CP_ACP, fileName, &path)) return HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
    if (path.size() >= sizeof(request->path)) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    std::memcpy(request->path, path.c_str(), path.size() + 1);
    request->quality = quality;
    return S_OK;
}

HRESULT ShowPropertyFrame(IBaseFilter* filter, HWND owner) {
    if (!filter) return E_NOINTERFACE;
    ComPtr<ISpecifyPropertyPages> pages;
    const HRESULT query = filter->QueryInterface(IID_ISpecifyPropertyPages, pages.PutVoid());
    if (query != S_OK) return FAILED(query) ? query : E_NOINTERFACE;
    CAUUID ids = {};
    RETURN_IF_STEP_FAILED(pages->GetPages(&ids));
    HRESULT hr = E_FAIL;  // a filter with no pages has nothing to show
    if (ids.cElems > 0) {
        IUnknown* object = filter;  // borrowed for the modal frame; the caller holds it
        hr = OleCreatePropertyFrame(owner, 30, 30, nullptr, 1, &object, ids.cElems, ids.pElems, 0, 0, nullptr);
    }
    CoTaskMemFree(ids.pElems);
    return hr;
}

}  // namespace

HRESULT CGraphManage::CaptureBitmap(LPCWSTR fileName, int bitmap, int quality) {
    IBaseFilter* filter = m_playGraphPresent ? m_playSnapshot.Get() : m_snapshot.Get();
    if (!filter) return FAIL_STEP("a snapshot filter", E_FAIL);
    SnapshotRequest request;
    RETURN_IF_STEP_FAILED(FillSnapshotRequest(fileName, bitmap, quality, &request));
    ComPtr<ISnapshotFilter> snapshot;
    RETURN_IF_STEP_FAILED(filter->QueryInterface(IID_ISnapshotFilter, snapshot.PutVoid()));
    const HRESULT taken = snapshot->TakeSnapshot(1, &request);
    if (FAILED(taken)) return FAIL_STEP("ISnapshotFilter::TakeSnapshot", taken);
    return taken;
}

HRESULT CGraphManage::ShowVideoCapturePropertyPage(HWND owner) {
    return ShowPropertyFrame(m_videoCapture.Get(), owner);
}

HRESULT CGraphManage::ShowAudioCapturePropertyPage(HWND owner) {
    return ShowPropertyFrame(m_audioCapture.Get(), owner);
}
