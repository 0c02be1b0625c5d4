// CPixmorph: the colour-space converter filter. YUV or 24-bit RGB video in,
// 24-bit bottom-up RGB out, scaled to a size the host sets (size mode) or
// enlarged by whole multiples (multiple mode) through IPixmorphControl.
//
// Bounds kept beyond the base contract:
//  - The output type proposed last is the only one accepted until the output
//    connects; then the connected type is. It and the mode and multiples that
//    produced it are fixed while the output is connected, so control calls
//    and proposals made meanwhile take effect at the next connection.
//  - DynamicQueryAccept never waits for a frame in progress: a change it
//    accepts during one is taken before the next.
//  - The input size follows upstream only when a sample proves the change
//    (an attached type, or an actual length that is the new size's frame and
//    not the current one); the work buffers grow to every input size taken.
//  - A frame that still does not fit is dropped, never written past a buffer.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/streams.h"
#include "filters/pixmorph/pixmorph_api.h"
#include "filters/pixmorph/pixmorph_filter_rules.h"
#include "filters/pixmorph/work_buffer.h"

// Graph event: the input picture size changed while streaming; both parameters 0.
#define EC_PIXMORPH_INPUT_RESIZED 0x70

class CPixmorph : public CTransformFilter, public IPixmorphControl, public ISpecifyPropertyPages {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ~CPixmorph() override;

    CBasePin* GetPin(int n) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;
    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    // The output type's plan is adopted with the type; the input size as
    // streaming starts is what a later change is measured against.
    HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) override;
    HRESULT StartStreaming() override;

    // IPixmorphControl
    STDMETHODIMP SetMultipleMode(BOOL multiple) override;
    STDMETHODIMP GetMultipleMode(BOOL* multiple) override;
    STDMETHODIMP SetOutputSize(int width, int height) override;
    STDMETHODIMP GetOutputSize(int* size) override;
    STDMETHODIMP SetMultiple(int horizontal, int vertical) override;
    STDMETHODIMP GetMultiple(int* horizontal, int* vertical) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // IPinConnection::DynamicQueryAccept of the input pin: a type change
    // without reconnection, taken between frames and never waiting for one.
    HRESULT AcceptDynamicInputType(const CMediaType* mt);

    // Capacities of the two work buffers, for white-box tests.
    pixmorph::WorkSizes WorkBufferCapacities() const { return {m_yuy2Work.capacity(), m_rgbWork.capacity()}; }

private:
    explicit CPixmorph(LPUNKNOWN outer);

    // Transform's steps.
    void FollowUpstreamSize(IMediaSample* in);
    void NoteInputSize();
    HRESULT ConvertSample(IMediaSample* in, IMediaSample* out, int* outWidth, int* outHeight);
    HRESULT CopySampleProperties(IMediaSample* in, IMediaSample* out);
    HRESULT AllocateWorkBuffers(ULONG request);
    // With the receive lock held: the input type DynamicQueryAccept left.
    void TakePendingInputType();

    // IPixmorphControl values: plain fields, written by the host's thread,
    // read only when an output type is proposed.
    volatile LONG m_outputWidth = 320;
    volatile LONG m_outputHeight = 240;
    volatile LONG m_multipleX = 1;
    volatile LONG m_multipleY = 1;
    volatile LONG m_multipleMode = FALSE;

    CCritSec m_csProposal;           // the two below: proposals come from any thread
    CMediaType m_proposedType;       // what an unconnected output accepts; survives disconnection
    pixmorph::FramePlan m_proposedPlan = {false, 1, 1};
    pixmorph::FramePlan m_framePlan = {false, 1, 1};  // that of the output pin's type

    CCritSec m_csPendingInput;  // the two below; taken inside the receive lock, never around it
    CMediaType m_pendingInput;  // accepted by DynamicQueryAccept during a frame
    bool m_inputPending = false;

    pixmorph::Picture m_streamInput = {};  // input size frames were last converted at
    pixmorph::WorkBuffer m_yuy2Work;
    pixmorph::WorkBuffer m_rgbWork;
};
