#include <cwchar>
#include <string>

#include "system_filters/avi_mux.h"
#include "system_filters/avi_mux_pins.h"
#include "system_filters/avi_stream_format.h"

namespace system_filters {
namespace {
// "Input 01": the pin names the system mux uses.
std::wstring InputName(int number) {
    wchar_t name[16];
    std::swprintf(name, 16, L"Input %02d", number);
    return name;
}
}  // namespace

CAviMuxInputPin::CAviMuxInputPin(CAviMux* mux, CCritSec* lock, int number)
    : CBaseInputPin(L"AVI Mux input", mux, lock, InputName(number).c_str()), mux_(mux), number_(number) {}

HRESULT CAviMuxInputPin::CheckConnect(IPin* pin) {
    if (retired_) return VFW_E_NOT_CONNECTED;
    return CBaseInputPin::CheckConnect(pin);
}

HRESULT CAviMuxInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (!IsAviStreamType(*mt)) return VFW_E_TYPE_NOT_ACCEPTED;
    // The stream's headers are written when recording starts: no other format after that.
    if (IsConnected() && !IsStopped() && *mt != CurrentMediaType()) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CAviMuxInputPin::CompleteConnect(IPin* receivePin) {
    RETURN_IF_FAILED(CBaseInputPin::CompleteConnect(receivePin));
    mux_->OnInputConnected();
    return S_OK;
}

STDMETHODIMP CAviMuxInputPin::Disconnect() {
    CAutoLock lock(m_pLock);
    const HRESULT hr = CBaseInputPin::Disconnect();
    if (hr == S_OK) mux_->OnInputDisconnected();
    return hr;
}

STDMETHODIMP CAviMuxInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    const AM_SAMPLE2_PROPERTIES& p = m_SampleProps;
    avi::ChunkTime time;
    time.valid = (p.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    time.start = p.tStart;
    time.stop = (p.dwSampleFlags & AM_SAMPLE_STOPVALID) ? p.tStop : p.tStart;
    // Uncompressed pictures and sound stand on their own; only compressed
    // video has frames that depend on others.
    const bool compressed = CurrentMediaType().IsTemporalCompressed() != FALSE;
    const bool keyframe = !compressed || (p.dwSampleFlags & AM_SAMPLE_SPLICEPOINT) != 0;
    return mux_->ReceiveSample(this, p.pbBuffer, p.lActual, keyframe, time);
}

STDMETHODIMP CAviMuxInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    return mux_->EndOfInput(this);
}

}  // namespace system_filters
