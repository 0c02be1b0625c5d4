// CPixmorph: creation, interfaces, pins and the connection-time decisions
// (input check, output proposal, allocator and work buffers). The per-frame
// work is in pixmorph_frame.cpp.
#include "filters/pixmorph/PixmorphFilter.h"

#include <new>

#include "filters/pixmorph/build_variant.h"
#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/video_input_pin.h"
#include "filters/pixmorph/pipeline_types.h"
#include "narrow_text/debug_text.h"

CUnknown* WINAPI CPixmorph::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    CPixmorph* filter = new (std::nothrow) CPixmorph(outer);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    pixmorph::InitYuvTables();
    return filter;
}

CPixmorph::CPixmorph(LPUNKNOWN outer) : CTransformFilter(L"CPixmorph", outer, CLSID_Pixmorph) {
    SendDebugText("Constructor");
}

CPixmorph::~CPixmorph() {
    SendDebugText("Destructor");
    m_rgbWork.Release();
    m_yuy2Work.Release();
}

STDMETHODIMP CPixmorph::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IPixmorphControl) return GetInterface(static_cast<IPixmorphControl*>(this), ppv);
    if (riid == IID_ISpecifyPropertyPages) return GetInterface(static_cast<ISpecifyPropertyPages*>(this), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CPixmorph::GetPin(int n) {
    if (!m_pInput) {
        m_pInput = new (std::nothrow) CVideoInputPin(L"Transform input pin", this, L"XForm In");
        HRESULT hr = m_pInput ? S_OK : E_OUTOFMEMORY;
        PIXMORPH_FILTER_ASSERT(SUCCEEDED(hr));
        if (!m_pInput) return nullptr;
        m_pOutput = new (std::nothrow) CTransformOutputPin(L"Transform output pin", this, L"XForm Out");
        hr = m_pOutput ? S_OK : E_OUTOFMEMORY;
        PIXMORPH_FILTER_ASSERT(SUCCEEDED(hr));
        (void)hr;  // only the diagnostic build checks it
        if (!m_pOutput) {
            delete m_pInput;
            m_pInput = nullptr;
        }
    }
    if (n == 0) return m_pInput;
    if (n == 1) return m_pOutput;
    return nullptr;
}

HRESULT CPixmorph::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    if (in->majortype != MEDIATYPE_Video) return E_INVALIDARG;
    if (in->formattype != FORMAT_VideoInfo2 && in->formattype != FORMAT_VideoInfo) return E_INVALIDARG;
    pixmorph::Subtype subtype;
    if (!PipelineSubtype(in->subtype, &subtype)) return E_INVALIDARG;
    // The size is read from the header on every frame: it must be there.
    if (!BitmapHeaderOf(*in)) return E_INVALIDARG;
    return S_OK;
}

HRESULT CPixmorph::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    if (CheckInputType(in) != S_OK) return E_INVALIDARG;
    // A connected output keeps its type whatever was proposed since (a graph
    // tool enumerating the pin proposes again); before that, the proposal
    // is the output pin's type to be.
    if (m_pOutput && m_pOutput->IsConnected())
        return SameMediaType(*out, m_pOutput->CurrentMediaType()) ? S_OK : E_INVALIDARG;
    CAutoLock lock(&m_csProposal);
    if (!m_proposedType.IsValid() || !SameMediaType(*out, m_proposedType)) return E_INVALIDARG;
    return S_OK;
}

HRESULT CPixmorph::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    if (position != 0) return E_INVALIDARG;

    const pixmorph::ControlValues values{m_multipleMode != FALSE, static_cast<int>(m_outputWidth),
                                         static_cast<int>(m_outputHeight), static_cast<int>(m_multipleX),
                                         static_cast<int>(m_multipleY)};
    int inputWidth = 0, inputHeight = 0;
    if (values.multiple_mode) {
        const BITMAPINFOHEADER* input = BitmapHeaderOf(m_pInput->CurrentMediaType());
        if (!input) return E_INVALIDARG;
        inputWidth = input->biWidth;
        inputHeight = input->biHeight;
    }
    int width = 0, height = 0;
    if (!pixmorph::ProposedOutputSize(values, inputWidth, inputHeight, &width, &height)) return E_INVALIDARG;

    auto* info = reinterpret_cast<VIDEOINFO*>(mt->AllocFormatBuffer(sizeof(VIDEOINFO)));
    if (!info) return E_OUTOFMEMORY;
    ZeroMemory(info, sizeof(VIDEOINFO));
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biSizeImage = GetBitmapSize(&header);
    header.biClrImportant = 0;

    mt->SetType(&MEDIATYPE_Video);
    mt->SetFormatType(&FORMAT_VideoInfo);
    mt->SetTemporalCompression(FALSE);
    const GUID subtype = GetBitmapSubtype(&header);
    mt->SetSubtype(&subtype);
    mt->SetSampleSize(header.biSizeImage);

    CAutoLock state(&m_csFilter);
    {
        CAutoLock lock(&m_csProposal);
        RETURN_IF_FAILED(m_proposedType.Set(*mt));
        m_proposedPlan = {values.multiple_mode, values.multiple_x, values.multiple_y};
    }
    // A connected output keeps the type (and plan) it was connected with:
    // frames are sized by it, so replacing it now could overrun its samples.
    if (!m_pOutput->IsConnected()) RETURN_IF_FAILED(m_pOutput->SetMediaType(mt));
    return S_OK;
}

HRESULT CPixmorph::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) {
    if (dir == PINDIR_OUTPUT && mt) {
        // The last proposal brings its plan; the connected type set again
        // (a type downstream attaches to a buffer) keeps the one it has.
        CAutoLock lock(&m_csProposal);
        if (m_proposedType.IsValid() && SameMediaType(*mt, m_proposedType)) m_framePlan = m_proposedPlan;
    }
    if (dir == PINDIR_INPUT) {
        // Whatever set the input type now is newer than a change still waiting.
        CAutoLock lock(&m_csPendingInput);
        m_inputPending = false;
    }
    return S_OK;
}

HRESULT CPixmorph::StartStreaming() {
    m_streamInput = {};
    InputPicture(m_pInput->CurrentMediaType(), &m_streamInput);
    return S_OK;
}

HRESULT CPixmorph::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    const CMediaType& input = m_pInput->CurrentMediaType();
    const CMediaType& output = m_pOutput->CurrentMediaType();
    const ULONG request = pixmorph::AllocatorRequest(output.lSampleSize, input.lSampleSize, input.IsFixedSize());
    if (request == 0) return E_INVALIDARG;
    props->cBuffers = 1;
    props->cbBuffer = static_cast<long>(request);

    ALLOCATOR_PROPERTIES actual = {};
    const HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    PIXMORPH_FILTER_ASSERT(actual.cBuffers == 1);
    PIXMORPH_FILTER_ASSERT(props->cbBuffer);
    if (actual.cBuffers < props->cBuffers || actual.cbBuffer < props->cbBuffer) return E_FAIL;
    return AllocateWorkBuffers(request);
}

HRESULT CPixmorph::AllocateWorkBuffers(ULONG request) {
    const CMediaType& input = m_pInput->CurrentMediaType();
    pixmorph::Picture picture = {};
    InputPicture(input, &picture);
    const pixmorph::WorkSizes sizes =
        pixmorph::WorkBufferSizes(pixmorph_build::kWorkRule, request, input.GetSampleSize(), picture);
    m_rgbWork.Release();
    m_yuy2Work.Release();
    if (!m_rgbWork.Allocate(sizes.rgb) || !m_yuy2Work.Allocate(sizes.yuy2)) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT CPixmorph::AcceptDynamicInputType(const CMediaType* mt) {
    const HRESULT hr = CheckInputType(mt);
    if (FAILED(hr)) return hr;
    {
        CAutoLock lock(&m_csPendingInput);
        RETURN_IF_FAILED(m_pendingInput.Set(*mt));
        m_inputPending = true;
    }
    // Never waits for the receive lock: the streaming thread may hold it
    // while downstream (a paused renderer) holds the frame until the
    // application's thread, this caller perhaps, runs or stops the graph.
    // Between frames the type is taken at once; during one, before the next.
    if (m_csReceive.TryLock()) {
        TakePendingInputType();
        m_csReceive.Unlock();
    }
    return S_OK;
}

void CPixmorph::TakePendingInputType() {
    CAutoLock lock(&m_csPendingInput);
    if (m_inputPending) m_pInput->SetMediaType(&m_pendingInput);
    m_inputPending = false;
}

// ---- IPixmorphControl: stored as given; they shape the next proposal.

STDMETHODIMP CPixmorph::SetMultipleMode(BOOL multiple) {
    m_multipleMode = multiple;
    return S_OK;
}

STDMETHODIMP CPixmorph::GetMultipleMode(BOOL* multiple) {
    if (!multiple) return E_POINTER;
    *multiple = m_multipleMode;
    return S_OK;
}

STDMETHODIMP CPixmorph::SetOutputSize(int width, int height) {
    m_outputWidth = width;
    m_outputHeight = height;
    return S_OK;
}

STDMETHODIMP CPixmorph::GetOutputSize(int* size) {
    if (!size) return E_POINTER;
    size[0] = m_outputWidth;
    size[1] = m_outputHeight;
    return S_OK;
}

STDMETHODIMP CPixmorph::SetMultiple(int horizontal, int vertical) {
    m_multipleX = horizontal;
    m_multipleY = vertical;
    return S_OK;
}

STDMETHODIMP CPixmorph::GetMultiple(int* horizontal, int* vertical) {
    if (!horizontal || !vertical) return E_POINTER;
    *horizontal = m_multipleX;
    *vertical = m_multipleY;
    return S_OK;
}

STDMETHODIMP CPixmorph::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 1;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = CLSID_PixmorphPropertyPage;
    return S_OK;
}
