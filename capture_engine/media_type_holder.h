// Owns an AM_MEDIA_TYPE that an interface allocated (GetFormat,
// GetStreamCaps) and frees it, format block included, exactly once.
#pragma once

#include <windows.h>
#include <dshow.h>


class MediaTypeHolder {
public:
    MediaTypeHolder() = default;
    ~MediaTypeHolder() { Reset(); }
    MediaTypeHolder(const MediaTypeHolder&) = delete;
    MediaTypeHolder& operator=(const MediaTypeHolder&) = delete;

    AM_MEDIA_TYPE* Get() const { return type_; }
    AM_MEDIA_TYPE* operator->() const { return type_; }
    AM_MEDIA_TYPE** Put() { Reset(); return &type_; }
    void Reset() {
        if (!type_) return;
        if (type_->cbFormat != 0) CoTaskMemFree(type_->pbFormat);
        if (type_->pUnk) type_->pUnk->Release();
        CoTaskMemFree(type_);
        type_ = nullptr;
    }

    // The VIDEOINFOHEADER of a FORMAT_VideoInfo type, or null when the type
    // carries none (a block too short to read a header from counts as none).
    VIDEOINFOHEADER* VideoInfo() const {
        if (!type_ || type_->formattype != FORMAT_VideoInfo || !type_->pbFormat ||
            type_->cbFormat < sizeof(VIDEOINFOHEADER))
            return nullptr;
        return reinterpret_cast<VIDEOINFOHEADER*>(type_->pbFormat);
    }

private:
    AM_MEDIA_TYPE* type_ = nullptr;
};
