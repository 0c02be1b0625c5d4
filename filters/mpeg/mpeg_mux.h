// The MPEG multiplexer filter (CLSID_MpegMultiplexer): one MPEG-1 video and
// at most one MPEG-1 audio elementary stream in, an MPEG-1 system stream out
// ("Output", MEDIATYPE_Stream / MEDIASUBTYPE_MPEG1System) whose samples carry
// their byte positions as times, for the dump sink or a File Writer.
//
// Input pins come on demand: there is always one free input until two are
// connected, either taking the kind of stream the other does not carry.
//
// The stream is finished (everything queued, then the end code) when every
// connected input has reached its end, or when the filter leaves the
// running state: a graph pauses its filters downstream first before it stops
// them, so the sink still takes the last bytes then. Samples that arrive
// after that are refused with S_FALSE; a recording does not resume after a
// pause.
//
// Locking: the filter lock guards state and pins; the stream lock serialises
// the multiplexer (every input's Receive and end of stream, and the state
// changes that start or finish it). Receive never takes the filter lock.
#pragma once

#include <memory>
#include <vector>

#include "media/mpeg1/mux/system_mux.h"
#include "dshow_base/streams.h"

namespace mpeg_filters {

class CMpegMuxInputPin;
class CMpegMuxOutputPin;

class CMpegMux : public CBaseFilter {
public:
    static constexpr int kMaxInputs = 2;

    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CMpegMux() override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // ---- For the pins; under the filter lock.
    void OnInputConnected();
    void OnInputDisconnected();
    // Whether an input other than `asking` is connected with this kind.
    bool KindTaken(const CMpegMuxInputPin* asking, mpeg::StreamKind kind) const;

    // ---- For the input pins, on their streaming threads.
    HRESULT ReceiveData(CMpegMuxInputPin* pin, const BYTE* data, long size, const REFERENCE_TIME* time);
    HRESULT EndOfInput(CMpegMuxInputPin* pin);

private:
    explicit CMpegMux(LPUNKNOWN outer);
    bool AddInput();
    HRESULT StartMux();
    // Under the stream lock. Finishes the stream once; false when writing failed.
    bool FinishMux();
    HRESULT WriteFailure();

    CCritSec filterLock_;
    CCritSec streamLock_;
    std::unique_ptr<CMpegMuxOutputPin> output_;
    std::vector<std::unique_ptr<CMpegMuxInputPin>> inputs_;  // in pin-number order
    // Removed pins stay alive until the filter goes: a caller may still hold one.
    std::vector<std::unique_ptr<CMpegMuxInputPin>> retired_;

    // Under the stream lock.
    std::unique_ptr<mpeg::SystemMux> mux_;
    bool finished_ = false;
    bool failureReported_ = false;
};

}  // namespace mpeg_filters
