#include "filters/snapshot/jpeg_encoder.h"

#include <wincodec.h>

#include <new>

#include "dshow_base/com_apartment.h"
#include "dshow_base/com_ptr.h"

namespace snapshot {

namespace {

HRESULT SetQuality(IPropertyBag2* options, float quality) {
    PROPBAG2 option = {};
    option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = quality;
    return options->Write(1, &option, &value);
}

HRESULT WriteFrame(IWICBitmapEncoder* encoder, const BgrPicture& picture, float quality) {
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    RETURN_IF_FAILED(encoder->CreateNewFrame(frame.Put(), options.Put()));
    RETURN_IF_FAILED(SetQuality(options.Get(), quality));
    RETURN_IF_FAILED(frame->Initialize(options.Get()));
    RETURN_IF_FAILED(frame->SetSize(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height)));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    RETURN_IF_FAILED(frame->SetPixelFormat(&format));
    // The encoder may only offer another layout; our rows would be misread.
    if (format != GUID_WICPixelFormat24bppBGR) return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    RETURN_IF_FAILED(frame->WritePixels(static_cast<UINT>(picture.height), static_cast<UINT>(picture.stride),
                                        static_cast<UINT>(picture.pixels.size()),
                                        const_cast<BYTE*>(picture.pixels.data())));
    return frame->Commit();
}

HRESULT CopyStream(IStream* stream, std::vector<uint8_t>* file) {
    STATSTG stat = {};
    RETURN_IF_FAILED(stream->Stat(&stat, STATFLAG_NONAME));
    if (stat.cbSize.QuadPart > 0x7FFFFFFF) return E_OUTOFMEMORY;
    HGLOBAL memory = nullptr;
    RETURN_IF_FAILED(GetHGlobalFromStream(stream, &memory));
    const void* bytes = GlobalLock(memory);
    if (!bytes) return E_OUTOFMEMORY;
    HRESULT hr = S_OK;
    try {
        const auto* begin = static_cast<const uint8_t*>(bytes);
        file->assign(begin, begin + static_cast<size_t>(stat.cbSize.QuadPart));
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    GlobalUnlock(memory);
    return hr;
}

}  // namespace

HRESULT EncodeJpeg(const BgrPicture& picture, float quality, std::vector<uint8_t>* file) {
    if (!file) return E_POINTER;
    if (picture.width <= 0 || picture.height <= 0) return E_INVALIDARG;
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, factory.PutVoid()));
    ComPtr<IWICBitmapEncoder> encoder;
    RETURN_IF_FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.Put()));
    // Encoded in memory: the file is written in one go by the caller, which
    // keeps half-written pictures away from the final name.
    ComPtr<IStream> stream;
    RETURN_IF_FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    RETURN_IF_FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    RETURN_IF_FAILED(WriteFrame(encoder.Get(), picture, quality));
    RETURN_IF_FAILED(encoder->Commit());
    return CopyStream(stream.Get(), file);
}

}  // namespace snapshot
