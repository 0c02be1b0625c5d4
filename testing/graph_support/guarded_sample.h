// An IMediaSample over a buffer followed by guard bytes, to show that code
// filling a sample stays inside GetSize().
#pragma once

#include <cstdint>
#include <vector>

#include "dshow_base/streams.h"

namespace graph_test {

class GuardedSample : public IMediaSample {
public:
    static constexpr uint8_t kGuard = 0xA5;
    static constexpr size_t kGuardBytes = 256;

    explicit GuardedSample(size_t size, uint8_t fill = 0);

    BYTE* Data() { return bytes_.data(); }
    size_t Size() const { return size_; }
    bool GuardsIntact() const;
    // Whether bytes [0, size) all hold `value`.
    bool Untouched(uint8_t value) const;

    // IUnknown: a stack object, so references are not counted.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IMediaSample
    STDMETHODIMP GetPointer(BYTE** buffer) override;
    STDMETHODIMP_(LONG) GetSize() override { return static_cast<LONG>(size_); }
    STDMETHODIMP GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    STDMETHODIMP SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    STDMETHODIMP IsSyncPoint() override { return sync_ ? S_OK : S_FALSE; }
    STDMETHODIMP SetSyncPoint(BOOL sync) override { sync_ = sync; return S_OK; }
    STDMETHODIMP IsPreroll() override { return preroll_ ? S_OK : S_FALSE; }
    STDMETHODIMP SetPreroll(BOOL preroll) override { preroll_ = preroll; return S_OK; }
    STDMETHODIMP_(LONG) GetActualDataLength() override { return actual_; }
    STDMETHODIMP SetActualDataLength(LONG length) override;
    STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP IsDiscontinuity() override { return discontinuity_ ? S_OK : S_FALSE; }
    STDMETHODIMP SetDiscontinuity(BOOL discontinuity) override { discontinuity_ = discontinuity; return S_OK; }
    STDMETHODIMP GetMediaTime(LONGLONG* start, LONGLONG* stop) override;
    STDMETHODIMP SetMediaTime(LONGLONG* start, LONGLONG* stop) override;

    CMediaType type;  // attached when typeSet
    bool typeSet = false;

private:
    size_t size_;
    std::vector<uint8_t> bytes_;
    LONG actual_ = 0;
    bool timed_ = false, stopped_ = false, mediaTimed_ = false;
    REFERENCE_TIME start_ = 0, stop_ = 0;
    LONGLONG mediaStart_ = 0, mediaStop_ = 0;
    BOOL sync_ = FALSE, preroll_ = FALSE, discontinuity_ = FALSE;
};

}  // namespace graph_test
