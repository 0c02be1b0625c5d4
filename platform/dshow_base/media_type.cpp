#include "dshow_base/media_type.h"

#include <cstring>

CMediaType::CMediaType() : AM_MEDIA_TYPE() { InitMediaType(); }

CMediaType::CMediaType(const GUID* majortype) : AM_MEDIA_TYPE() {
    InitMediaType();
    SetType(majortype);
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& mt) : AM_MEDIA_TYPE() {
    InitMediaType();
    Set(mt);
}

CMediaType::CMediaType(const CMediaType& mt) : AM_MEDIA_TYPE() {
    InitMediaType();
    Set(mt);
}

CMediaType::~CMediaType() { FreeMediaType(*this); }

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& mt) {
    Set(mt);
    return *this;
}

CMediaType& CMediaType::operator=(const CMediaType& mt) {
    Set(mt);
    return *this;
}

bool CMediaType::operator==(const CMediaType& mt) const {
    return IsEqualGUID(majortype, mt.majortype) && IsEqualGUID(subtype, mt.subtype) &&
           IsEqualGUID(formattype, mt.formattype) && cbFormat == mt.cbFormat &&
           (cbFormat == 0 || std::memcmp(pbFormat, mt.pbFormat, cbFormat) == 0);
}

HRESULT CMediaType::Set(const CMediaType& mt) { return Set(static_cast<const AM_MEDIA_TYPE&>(mt)); }

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& mt) {
    if (&mt == this) return S_OK;
    FreeMediaType(*this);
    const HRESULT hr = CopyMediaType(this, &mt);
    if (FAILED(hr)) Clear();  // leaves IsValid() false
    return hr;
}

BOOL CMediaType::IsValid() const { return !IsEqualGUID(majortype, GUID_NULL); }

void CMediaType::SetSampleSize(ULONG size) {
    if (size == 0) {
        SetVariableSize();
        return;
    }
    bFixedSizeSamples = TRUE;
    lSampleSize = size;
}

void CMediaType::SetVariableSize() {
    bFixedSizeSamples = FALSE;
    lSampleSize = 0;
}

BOOL CMediaType::SetFormat(const BYTE* format, ULONG length) {
    if (length && !format) return FALSE;
    BYTE* block = AllocFormatBuffer(length);
    if (length && !block) return FALSE;
    if (length) std::memcpy(block, format, length);
    return TRUE;
}

void CMediaType::ResetFormatBuffer() {
    CoTaskMemFree(pbFormat);
    pbFormat = nullptr;
    cbFormat = 0;
}

BYTE* CMediaType::AllocFormatBuffer(ULONG length) {
    if (length == 0) {
        ResetFormatBuffer();
        return nullptr;
    }
    if (pbFormat && cbFormat == length) return pbFormat;
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (!block) return nullptr;  // the old block stays
    ResetFormatBuffer();
    pbFormat = block;
    cbFormat = length;
    return block;
}

BYTE* CMediaType::ReallocFormatBuffer(ULONG length) {
    if (length == 0) {
        ResetFormatBuffer();
        return nullptr;
    }
    BYTE* block = static_cast<BYTE*>(CoTaskMemRealloc(pbFormat, length));
    if (!block) return nullptr;
    pbFormat = block;
    cbFormat = length;
    return block;
}

void CMediaType::InitMediaType() {
    FreeMediaType(*this);
    Clear();
    lSampleSize = 1;
    bFixedSizeSamples = TRUE;
}

void CMediaType::Clear() {
    // Only for a type that owns nothing (fresh, or just freed).
    std::memset(static_cast<AM_MEDIA_TYPE*>(this), 0, sizeof(AM_MEDIA_TYPE));
}

BOOL CMediaType::MatchesPartial(const CMediaType* partial) const {
    if (!IsEqualGUID(partial->majortype, GUID_NULL) && !IsEqualGUID(majortype, partial->majortype)) return FALSE;
    if (!IsEqualGUID(partial->subtype, GUID_NULL) && !IsEqualGUID(subtype, partial->subtype)) return FALSE;
    if (IsEqualGUID(partial->formattype, GUID_NULL)) return TRUE;
    if (!IsEqualGUID(formattype, partial->formattype) || cbFormat != partial->cbFormat) return FALSE;
    return cbFormat == 0 || std::memcmp(pbFormat, partial->pbFormat, cbFormat) == 0;
}

BOOL CMediaType::IsPartiallySpecified() const {
    return IsEqualGUID(majortype, GUID_NULL) || IsEqualGUID(formattype, GUID_NULL);
}

void WINAPI FreeMediaType(AM_MEDIA_TYPE& mt) {
    CoTaskMemFree(mt.pbFormat);
    mt.pbFormat = nullptr;
    mt.cbFormat = 0;
    if (mt.pUnk) {
        mt.pUnk->Release();
        mt.pUnk = nullptr;
    }
}

void WINAPI DeleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaType(*mt);
    CoTaskMemFree(mt);
}

HRESULT WINAPI CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src) {
    if (!dst || !src) return E_POINTER;
    *dst = *src;
    if (src->cbFormat && src->pbFormat) {
        dst->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src->cbFormat));
        if (!dst->pbFormat) {
            dst->cbFormat = 0;
            dst->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(dst->pbFormat, src->pbFormat, src->cbFormat);
    } else {
        dst->pbFormat = nullptr;
        dst->cbFormat = 0;
    }
    if (dst->pUnk) dst->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* WINAPI CreateMediaType(const AM_MEDIA_TYPE* src) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return nullptr;
    if (FAILED(CopyMediaType(mt, src))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

DWORD GetBitmapSize(const BITMAPINFOHEADER* header) {
    if (header->biBitCount == 0) return header->biSizeImage;
    const DWORD rowBits = static_cast<DWORD>(header->biWidth) * header->biBitCount;
    const DWORD stride = ((rowBits + 31) & ~31u) / 8;
    const LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    return stride * static_cast<DWORD>(height);
}

namespace {
bool HasMasks(const BITMAPINFOHEADER* h, DWORD red, DWORD green, DWORD blue) {
    // BI_BITFIELDS: the three masks follow the header.
    const DWORD* masks = reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(h) + h->biSize);
    return masks[0] == red && masks[1] == green && masks[2] == blue;
}
}  // namespace

GUID GetBitmapSubtype(const BITMAPINFOHEADER* header) {
    if (header->biCompression == BI_RGB) {
        switch (header->biBitCount) {
        case 1: return MEDIASUBTYPE_RGB1;
        case 4: return MEDIASUBTYPE_RGB4;
        case 8: return MEDIASUBTYPE_RGB8;
        case 16: return MEDIASUBTYPE_RGB555;
        case 24: return MEDIASUBTYPE_RGB24;
        case 32: return MEDIASUBTYPE_RGB32;
        default: return GUID_NULL;
        }
    }
    if (header->biCompression == BI_BITFIELDS) {
        if (header->biBitCount == 16) {
            if (HasMasks(header, 0xF800, 0x07E0, 0x001F)) return MEDIASUBTYPE_RGB565;
            if (HasMasks(header, 0x7C00, 0x03E0, 0x001F)) return MEDIASUBTYPE_RGB555;
            return GUID_NULL;
        }
        if (header->biBitCount == 32 && HasMasks(header, 0xFF0000, 0x00FF00, 0x0000FF)) return MEDIASUBTYPE_RGB32;
        return GUID_NULL;
    }
    // Any other compression is a FOURCC: the subtype is the FOURCC's base GUID.
    GUID fourcc = {0x00000000, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    fourcc.Data1 = header->biCompression;
    return fourcc;
}
