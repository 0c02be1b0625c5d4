// Loads the test COM server (test_modules\dshow_server_test_module.ax, kept
// beside bin\ rather than in it) and calls its exports as COM would.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

#include "dshow_base/com_ptr.h"

class ServerModule {
public:
    ServerModule();
    ~ServerModule();
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    std::wstring Path() const;
    HMODULE Handle() const { return module_; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const;
    HRESULT CanUnloadNow() const;
    HRESULT Register() const;
    HRESULT Unregister() const;
    // Through the module's class factory, without the registry.
    HRESULT Create(REFCLSID clsid, IUnknown* outer, REFIID riid, void** ppv) const;

private:
    HMODULE module_ = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
    HRESULT(STDAPICALLTYPE* register_)() = nullptr;
    HRESULT(STDAPICALLTYPE* unregister_)() = nullptr;
};

// Joins an apartment for a test's lifetime.
class ScopedCom {
public:
    explicit ScopedCom(bool ole = false) : ole_(ole), hr_(ole ? OleInitialize(nullptr) : CoInitialize(nullptr)) {}
    ~ScopedCom() {
        if (SUCCEEDED(hr_)) ole_ ? OleUninitialize() : CoUninitialize();
    }
    HRESULT Result() const { return hr_; }

private:
    bool ole_;
    HRESULT hr_;
};
