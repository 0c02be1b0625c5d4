#include "server_module_loader.h"

namespace {
std::wstring TestModulePath() {
    WCHAR exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dir(exe);
    dir.resize(dir.find_last_of(L"\\/"));
    return dir + L"\\..\\test_modules\\dshow_server_test_module.ax";
}

template <typename F>
void Resolve(HMODULE module, const char* name, F* fn) {
    *fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

ServerModule::ServerModule() {
    WCHAR full[MAX_PATH] = {};
    GetFullPathNameW(TestModulePath().c_str(), MAX_PATH, full, nullptr);
    module_ = LoadLibraryW(full);
    if (!module_) return;
    Resolve(module_, "DllGetClassObject", &getClassObject_);
    Resolve(module_, "DllCanUnloadNow", &canUnloadNow_);
    Resolve(module_, "DllRegisterServer", &register_);
    Resolve(module_, "DllUnregisterServer", &unregister_);
    if (!getClassObject_ || !canUnloadNow_ || !register_ || !unregister_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

ServerModule::~ServerModule() {
    if (module_) FreeLibrary(module_);
}

std::wstring ServerModule::Path() const {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(module_, path, MAX_PATH);
    return path;
}

HRESULT ServerModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    return getClassObject_(clsid, riid, ppv);
}
HRESULT ServerModule::CanUnloadNow() const { return canUnloadNow_(); }
HRESULT ServerModule::Register() const { return register_(); }
HRESULT ServerModule::Unregister() const { return unregister_(); }

HRESULT ServerModule::Create(REFCLSID clsid, IUnknown* outer, REFIID riid, void** ppv) const {
    ComPtr<IClassFactory> factory;
    RETURN_IF_FAILED(GetClassObject(clsid, IID_IClassFactory, factory.PutVoid()));
    return factory->CreateInstance(outer, riid, ppv);
}
