// The "dump" file sink (CLSID_DumpFileSink): one input pin taking any
// MEDIATYPE_Stream, written to the file IFileSinkFilter names. Samples with
// times go to the byte positions their start times give (as multiplexers
// stamp them); samples without go after the previous write.
//
// Pausing from stopped checks the file can be written (no name, or one that
// cannot be created, fails the pause); the first sample creates it and Stop
// closes it, so it is complete when the graph's Stop returns. A graph that
// never delivered a byte leaves no file (see FileOutput). A failed write posts
// EC_ERRORABORT and ends writing until the next start. The filter says it is a renderer: the graph waits for its
// EC_COMPLETE, sent once the input's end of stream has arrived while running.
//
// Locking: the filter lock guards state and the name; the write lock the
// file, taken by Receive and by the state changes that open and close it.
#pragma once

#include <memory>
#include <string>

#include "dshow_base/streams.h"
#include "filters/mpeg/file_output.h"

namespace mpeg_filters {

class CDumpInputPin;

class CDumpFilter : public CBaseFilter, public IFileSinkFilter, public IAMFilterMiscFlags {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CDumpFilter() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFileSinkFilter: the name takes effect at the next start.
    STDMETHODIMP SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* mt) override;

    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    // ---- For the pin, on its streaming thread.
    HRESULT Write(const AM_SAMPLE2_PROPERTIES& sample);
    HRESULT EndOfInput();

private:
    explicit CDumpFilter(LPUNKNOWN outer);

    CCritSec filterLock_;
    CCritSec writeLock_;
    std::unique_ptr<CDumpInputPin> pin_;
    std::wstring fileName_;  // under the filter lock
    CMediaType fileType_;

    // Under the write lock.
    FileOutput file_;
    bool failed_ = false;
    bool ended_ = false;
    bool completeSent_ = false;
};

class CDumpInputPin : public CBaseInputPin {
public:
    CDumpInputPin(CDumpFilter* filter, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;

private:
    CDumpFilter* filter_;  // owns us
};

}  // namespace mpeg_filters
