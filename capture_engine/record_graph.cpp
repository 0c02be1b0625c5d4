// Recording: the preview picture goes on through a tee while a multiplexer
// and a file sink write the stream; stopping removes them, which closes the file.
#include "capture_engine/graph_manage.h"

#include <string>

#include "capture_engine/device_routines.h"
#include "capture_engine/graph_routines.h"
#include "capture_engine/mpeg_encoder_setup.h"
#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/snapshot/snapshot_api.h"

using namespace graph_routines;

namespace {

// Opening for writing without emptying, as the file writer and the dump sink
// will; a file that was not there before is removed again, so the check
// leaves nothing behind.
HRESULT CheckWritable(LPCWSTR fileName) {
    const HANDLE probe = CreateFileW(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_ACCESSDENIED;
    }
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    const bool disk = GetFileType(probe) == FILE_TYPE_DISK;
    CloseHandle(probe);
    if (created && disk) DeleteFileW(fileName);
    return S_OK;
}

// Refuses, before the running preview is touched, a name the file writer
// could not open: empty, longer than the platform's plain paths, in a folder
// that does not exist, or not writable (a folder, a read-only or locked file).
HRESULT CheckRecordingName(LPCWSTR fileName) {
    if (!fileName || !fileName[0]) return E_INVALIDARG;
    const size_t length = wcsnlen(fileName, MAX_PATH);
    if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    std::wstring folder(fileName, length);
    const size_t separator = folder.find_last_of(L"\\/");
    if (separator != std::wstring::npos) {
        folder.resize(separator + 1);
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
    return CheckWritable(fileName);
}

}  // namespace

HRESULT CGraphManage::RunRecord(LPCWSTR fileName, int format, int mpegQuality, int withAudio) {
    RETURN_IF_STEP_FAILED(CheckRecordingName(fileName));
    if (!m_captureGraph) return FAIL_STEP("a capture graph", E_POINTER);
    if (m_captureRunning) RETURN_IF_STEP_FAILED(StopCapture());
    ReleaseControlAndWindow(&m_mediaControl, &m_videoWindow);
    DisconnectAll(m_captureGraph.Get());
    if (format == 1) return BuildAviRecording(fileName, withAudio);
    return BuildMpegRecording(fileName, mpegQuality, withAudio);
}

// The picture path of both recording topologies: the tee feeds the preview
// branch first, so the recording branch is the tee's second output.
HRESULT CGraphManage::ConnectRecordingPreview() {
    IGraphBuilder* graph = m_captureGraph.Get();
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_videoCapture.Get(), m_tee.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_tee.Get(), m_snapshot.Get()));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_snapshot.Get(), m_colourConverter.Get()));
    return ConnectFilters(graph, m_colourConverter.Get(), m_videoRenderer.Get());
}

HRESULT CGraphManage::BuildAviRecording(LPCWSTR fileName, int withAudio) {
    const HRESULT built = ConnectAviRecording(fileName, withAudio);
    if (FAILED(built)) {
        // As on the MPEG path: a multiplexer left half connected refuses to
        // pause, and the preview the caller runs next would never start.
        RemoveAviFilters();
        return built;
    }
    m_graphMode = GraphMode_AviRecord;
    return S_OK;
}

HRESULT CGraphManage::ConnectAviRecording(LPCWSTR fileName, int withAudio) {
    IGraphBuilder* graph = m_captureGraph.Get();
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_InfTee, L"InfPin Filter", &m_tee));
    RETURN_IF_STEP_FAILED(device_routines::AddSelectedDevice(graph, CLSID_AudioInputDeviceCategory, m_audioDeviceIndex,
                                                        L"Audio Capture Filter", &m_audioCapture));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_Colour, L"colorspace Filter", &m_colourConverter));
    RETURN_IF_STEP_FAILED(ConnectRecordingPreview());

    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_AviDest, L"AVI Mux Filter", &m_aviMux));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_tee.Get(), m_aviMux.Get()));
    if (withAudio) RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_audioCapture.Get(), m_aviMux.Get()));

    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_FileWriter, L"File Writer", &m_fileWriter));
    // Named on every build, not only when created: a writer kept from an
    // earlier build must not write this recording under the earlier name.
    ComPtr<IFileSinkFilter> sink;
    if (SUCCEEDED(m_fileWriter.As(&sink))) sink->SetFileName(fileName, nullptr);
    return ConnectFilters(graph, m_aviMux.Get(), m_fileWriter.Get());
}

void CGraphManage::RemoveAviFilters() {
    IFilterGraph* graph = m_captureGraph.Get();
    RemoveAndRelease(graph, &m_aviMux);
    RemoveAndRelease(graph, &m_fileWriter);
}

HRESULT CGraphManage::BuildMpegRecording(LPCWSTR fileName, int mpegQuality, int withAudio) {
    const HRESULT built = ConnectMpegRecording(fileName, withAudio);
    if (FAILED(built)) {
        // An unconnected multiplexer refuses to pause, so left in the graph
        // it would stop the preview the caller runs next from ever starting.
        RemoveMpegFilters();
        return built;
    }
    const HRESULT setup = mpeg_encoder_setup::ConfigureEncoder(m_mpegEncoder.Get(), mpegQuality);
    m_graphMode = GraphMode_MpegRecord;
    if (FAILED(setup)) return FAIL_STEP("ConfigureEncoder", setup);
    return setup;
}

HRESULT CGraphManage::ConnectMpegRecording(LPCWSTR fileName, int withAudio) {
    IGraphBuilder* graph = m_captureGraph.Get();
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_InfTee, L"InfPin Filter", &m_tee));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_Colour, L"colorspace Filter", &m_colourConverter));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_MpegMultiplexer, L"MPG Mux", &m_mpegMux));
    RETURN_IF_STEP_FAILED(ConnectRecordingPreview());

    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_MpegVideoEncoder, L"Encoder filter", &m_mpegEncoder));
    RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_DumpFileSink, L"dump", &m_mpegFileSink));
    // Named on every build, as the AVI writer is.
    ComPtr<IFileSinkFilter> sink;
    RETURN_IF_STEP_FAILED(m_mpegFileSink.As(&sink));
    RETURN_IF_STEP_FAILED(sink->SetFileName(fileName, nullptr));
    RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_tee.Get(), m_mpegEncoder.Get()));
    // The streams' connections to the multiplexer are not checked: it records
    // whichever of them it took.
    ConnectFilters(graph, m_mpegEncoder.Get(), m_mpegMux.Get());

    RETURN_IF_STEP_FAILED(device_routines::AddSelectedDevice(graph, CLSID_AudioInputDeviceCategory, m_audioDeviceIndex,
                                                        L"Audio Capture Filter", &m_audioCapture));
    if (withAudio) {
        RETURN_IF_STEP_FAILED(CreateFilterOnce(graph, CLSID_MpegAudioEncoder, L"Audio Encoder", &m_audioEncoder));
        RETURN_IF_STEP_FAILED(ConnectFilters(graph, m_audioCapture.Get(), m_audioEncoder.Get()));
        ConnectFilters(graph, m_audioEncoder.Get(), m_mpegMux.Get());
    }
    return ConnectFilters(graph, m_mpegMux.Get(), m_mpegFileSink.Get());
}

void CGraphManage::RemoveMpegFilters() {
    IFilterGraph* graph = m_captureGraph.Get();
    RemoveAndRelease(graph, &m_audioEncoder);
    RemoveAndRelease(graph, &m_mpegEncoder);
    RemoveAndRelease(graph, &m_mpegMux);
    RemoveAndRelease(graph, &m_mpegFileSink);
}

void CGraphManage::StopRecord() {
    if (m_graphMode != GraphMode_AviRecord && m_graphMode != GraphMode_MpegRecord) return;
    if (m_captureRunning && FAILED(StopCapture())) return;
    ReleaseControlAndWindow(&m_mediaControl, &m_videoWindow);
    DisconnectAll(m_captureGraph.Get());
    if (m_graphMode == GraphMode_AviRecord)
        RemoveAviFilters();
    else
        RemoveMpegFilters();
}
