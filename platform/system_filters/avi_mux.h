// Stand-in for the system AVI Mux (CLSID_AviDest): any number of video and
// audio inputs, interleaved by time into one AVI stream on "AVI Out", which
// a File Writer turns into a file (samples carry byte positions as times).
//
// There is always one free input pin: connecting it adds the next one, and
// a disconnect that leaves two free removes the higher-numbered.
//
// The file is complete whenever the mux is not running: leaving the running
// state (the graph pauses every filter, downstream first, before it stops
// them) writes what is held back, the index and the final header while the
// writer still takes samples; samples that still arrive then are written
// and indexed at once. (Samples a source pushes while paused before the
// first run are interleaved as usual.) The end of every input stream, or a file that
// reached the 4 GB RIFF limit, closes the file the same way and ends the
// stream downstream.
//
// Locking: the filter lock guards state and connections; the stream lock
// serialises the recording (every input's Receive, end of stream, and the
// state changes that close the file). Receive never takes the filter lock.
#pragma once

#include <memory>
#include <vector>

#include "dshow_base/streams.h"
#include "system_filters/avi_mux_seeking.h"
#include "system_filters/avi_recording.h"

namespace system_filters {

class CAviMuxInputPin;
class CAviMuxOutputPin;

class CAviMux : public CBaseFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CAviMux() override;

    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // ---- For the pins; under the filter lock.
    void OnInputConnected();
    void OnInputDisconnected();

    // ---- For the input pins, on their streaming threads.
    HRESULT ReceiveSample(CAviMuxInputPin* pin, const BYTE* data, long size, bool keyframe,
                          const avi::ChunkTime& time);
    HRESULT EndOfInput(CAviMuxInputPin* pin);

    // ---- For IMediaSeeking: time recorded so far (100-ns units).
    REFERENCE_TIME RecordedTime();

private:
    explicit CAviMux(LPUNKNOWN outer);
    bool AddInput();
    HRESULT StartRecording();
    // Under the stream lock.
    void CloseFile();
    HRESULT Report(avi::SampleResult result);

    CCritSec filterLock_;
    CCritSec streamLock_;
    std::unique_ptr<CAviMuxOutputPin> output_;
    std::vector<std::unique_ptr<CAviMuxInputPin>> inputs_;  // in pin-number order
    // Removed pins stay alive until the filter goes: a caller may still hold one.
    std::vector<std::unique_ptr<CAviMuxInputPin>> retired_;
    CAviMuxSeeking seeking_{this};

    // Under the stream lock.
    std::unique_ptr<avi::AviRecording> recording_;
    // The graph left running and the file was closed off: keep it complete.
    bool closedOff_ = false;
    bool endDelivered_ = false;
    REFERENCE_TIME recorded_ = 0;  // kept after the recording ends
};

}  // namespace system_filters
