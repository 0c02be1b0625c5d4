// The Pixmorph converter filter as its hosts see it: class identifiers and
// the control interface. Shared by the filter, its property page and the
// capture engine, which sets the output size through it.
#pragma once

#include <windows.h>
#include <objbase.h>

// {228C38A3-4152-45D0-9352-A9ECAA73768C}
static const GUID CLSID_Pixmorph = {
    0x228c38a3, 0x4152, 0x45d0, {0x93, 0x52, 0xa9, 0xec, 0xaa, 0x73, 0x76, 0x8c}};
// {0003BFA2-E8EE-4A6A-B69B-D0CAD81EDBC3}
static const GUID CLSID_PixmorphPropertyPage = {
    0x0003bfa2, 0xe8ee, 0x4a6a, {0xb6, 0x9b, 0xd0, 0xca, 0xd8, 0x1e, 0xdb, 0xc3}};
// {B5E42E19-DB86-4EA9-B03E-788775B6D0F6}
static const GUID IID_IPixmorphControl = {
    0xb5e42e19, 0xdb86, 0x4ea9, {0xb0, 0x3e, 0x78, 0x87, 0x75, 0xb6, 0xd0, 0xf6}};

// Method order is the contract (slots 3 to 8 after IUnknown's three).
// Size mode scales to the output size; multiple mode replicates pixels by
// whole-number factors. Values take effect at the output's next connection.
struct IPixmorphControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetMultipleMode(BOOL multiple) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMultipleMode(BOOL* multiple) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOutputSize(int width, int height) = 0;
    // size[0] = width, size[1] = height.
    virtual HRESULT STDMETHODCALLTYPE GetOutputSize(int* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMultiple(int horizontal, int vertical) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMultiple(int* horizontal, int* vertical) = 0;
};
