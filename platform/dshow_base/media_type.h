// CMediaType: an AM_MEDIA_TYPE that owns its format block and its pUnk.
#pragma once

#include <windows.h>
#include <dshow.h>

class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    explicit CMediaType(const GUID* majortype);
    CMediaType(const AM_MEDIA_TYPE& mt);  // NOLINT: deep copy, like the copy constructor
    CMediaType(const CMediaType& mt);
    ~CMediaType();

    // A failed copy (out of memory) leaves the type invalid: check IsValid().
    CMediaType& operator=(const AM_MEDIA_TYPE& mt);
    CMediaType& operator=(const CMediaType& mt);
    bool operator==(const CMediaType& mt) const;
    bool operator!=(const CMediaType& mt) const { return !(*this == mt); }

    HRESULT Set(const CMediaType& mt);
    HRESULT Set(const AM_MEDIA_TYPE& mt);

    // False once a copy or allocation has failed, or when nothing is set.
    BOOL IsValid() const;

    const GUID* Type() const { return &majortype; }
    const GUID* Subtype() const { return &subtype; }
    const GUID* FormatType() const { return &formattype; }
    ULONG FormatLength() const { return cbFormat; }
    BYTE* Format() const { return pbFormat; }

    void SetType(const GUID* t) { majortype = *t; }
    void SetSubtype(const GUID* t) { subtype = *t; }
    void SetFormatType(const GUID* t) { formattype = *t; }
    void SetSampleSize(ULONG size);
    void SetVariableSize();
    void SetTemporalCompression(BOOL compressed) { bTemporalCompression = compressed; }
    BOOL IsFixedSize() const { return bFixedSizeSamples; }
    BOOL IsTemporalCompressed() const { return bTemporalCompression; }
    ULONG GetSampleSize() const { return IsFixedSize() ? lSampleSize : 0; }

    // Copies a format block in; FALSE when memory runs out.
    BOOL SetFormat(const BYTE* format, ULONG length);
    void ResetFormatBuffer();
    // Replaces the format block by an uninitialised one of this size.
    BYTE* AllocFormatBuffer(ULONG length);
    // Resizes the format block keeping its leading bytes.
    BYTE* ReallocFormatBuffer(ULONG length);

    // Back to the empty state the classic class starts in (fixed-size samples of 1 byte).
    void InitMediaType();

    // Whether this type fits a partial one: GUID_NULL fields of `partial` match anything,
    // and its format block is compared only when it names a format type.
    BOOL MatchesPartial(const CMediaType* partial) const;
    BOOL IsPartiallySpecified() const;

private:
    void Clear();
};

// Frees a type made by CreateMediaType (or handed out by an enumerator).
void WINAPI DeleteMediaType(AM_MEDIA_TYPE* mt);
// Frees what a type points to, not the type itself.
void WINAPI FreeMediaType(AM_MEDIA_TYPE& mt);
// Deep copy on the COM task heap; null when memory runs out.
AM_MEDIA_TYPE* WINAPI CreateMediaType(const AM_MEDIA_TYPE* src);
// Deep copy into a caller's struct (which must not own anything yet).
HRESULT WINAPI CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src);

// Bytes of an uncompressed image of the header's size and bit depth (rows DWORD-aligned),
// or biSizeImage when the bit depth is unknown.
DWORD GetBitmapSize(const BITMAPINFOHEADER* header);
// The media subtype that a DIB of this header carries; GUID_NULL when it names none.
GUID GetBitmapSubtype(const BITMAPINFOHEADER* header);
