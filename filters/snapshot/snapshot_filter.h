// The snapshot filter: passes uncompressed video through unchanged and keeps
// a copy of the latest frame, which ISnapshotFilter::TakeSnapshot writes to
// a BMP or JPEG file whether the graph runs, is paused or has stopped.
//
// Where downstream takes upstream's allocator, each sample goes on as it
// came (no copy on the preview path); otherwise it is copied into a buffer
// of our own allocator.
#pragma once

#include "dshow_base/streams.h"
#include "filters/snapshot/latest_frame.h"
#include "filters/snapshot/snapshot_api.h"
#include "dshow_base/video_media_type.h"

namespace snapshot {

class CSnapshotInputPin;
class CSnapshotOutputPin;

class CSnapshotFilter : public CTransformFilter, public ISnapshotFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ISnapshotFilter
    STDMETHODIMP GetRequestKind(int* kind) override;
    STDMETHODIMP TakeSnapshot(int kind, const SnapshotRequest* request) override;

    // CTransformFilter
    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) override;
    HRESULT CompleteConnect(PIN_DIRECTION dir, IPin* receivePin) override;
    HRESULT Receive(IMediaSample* sample) override;
    CTransformInputPin* CreateInputPin() override;
    CTransformOutputPin* CreateOutputPin() override;

    // Upstream settled on a new allocator: an output made with the old one
    // is negotiated again, so that it can share the new one.
    HRESULT OnInputAllocator();

    CSnapshotInputPin* Input() const;
    CSnapshotOutputPin* Output() const;

private:
    explicit CSnapshotFilter(LPUNKNOWN outer);

    void KeepFrame(IMediaSample* sample);
    HRESULT DeliverCopy(IMediaSample* sample);

    // The input type's picture; written on connection (stopped) and on a
    // type change carried by a sample (under m_csReceive), read by Receive.
    video_media::VideoFrameType input_{};
    bool inputParsed_ = false;
    LatestFrame latest_;
};

}  // namespace snapshot
