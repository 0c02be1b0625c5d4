#include "test_devices/device_store.h"

#include <dshow.h>

#include <string>

#include "dshow_base/com_ptr.h"
#include "dshow_base/register.h"
#include "dshow_base/video_media_type.h"
#include "test_devices/test_device_ids.h"
#include "test_devices/mode_media_types.h"

namespace test_devices {
namespace {

constexpr wchar_t kStoreKey[] = L"Software\\Talvoro\\TestDevices";
constexpr wchar_t kConfigValue[] = L"Configuration";

std::string ToUtf8(LPCWSTR text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, nullptr, nullptr);
    out.resize(size_t(bytes - 1));
    return out;
}

std::wstring ToWide(const std::string& text) {
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (chars <= 1) return {};
    std::wstring out(size_t(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], chars);
    out.resize(size_t(chars - 1));
    return out;
}

bool ReadStoredText(std::wstring* text) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kStoreKey, kConfigValue, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
        return false;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kStoreKey, kConfigValue, RRF_RT_REG_SZ, nullptr, &value[0],
                     &bytes) != ERROR_SUCCESS) {
        return false;
    }
    value.resize(wcslen(value.c_str()));
    *text = value;
    return true;
}

HRESULT StoreText(LPCWSTR text) {
    const DWORD bytes = DWORD((wcslen(text) + 1) * sizeof(wchar_t));
    return HRESULT_FROM_WIN32(RegSetKeyValueW(HKEY_CURRENT_USER, kStoreKey, kConfigValue, REG_SZ,
                                              text, bytes));
}

// What the mapper records about each device's pin, for clients that look.
const AMOVIESETUP_MEDIATYPE kCameraTypes[] = {
    {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24},
    {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2},
    {&MEDIATYPE_Video, &video_media::kMediaSubtypeI420},
};
const AMOVIESETUP_MEDIATYPE kMicrophoneTypes[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM}};
const AMOVIESETUP_PIN kCameraPin = {L"Capture", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr,
                                    3, kCameraTypes};
const AMOVIESETUP_PIN kMicrophonePin = {L"Capture", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr,
                                        1, kMicrophoneTypes};
const AMOVIESETUP_FILTER kCameraSetup = {nullptr, nullptr, MERIT_DO_NOT_USE, 1, &kCameraPin};
const AMOVIESETUP_FILTER kMicrophoneSetup = {nullptr, nullptr, MERIT_DO_NOT_USE, 1,
                                             &kMicrophonePin};

HRESULT RegisterDevices(const std::vector<DeviceSettings>& devices, REFCLSID category,
                        const CLSID* family, const AMOVIESETUP_FILTER* setup) {
    for (size_t i = 0; i < devices.size(); ++i) {
        const DeviceSettings& d = devices[i];
        if (d.hasFriendlyName) {
            RETURN_IF_FAILED(RegisterDeviceInstance(category, family[i], nullptr,
                                                    ToWide(d.name).c_str(), setup,
                                                    MERIT_DO_NOT_USE));
        } else {
            RETURN_IF_FAILED(RegisterDeviceInstanceWithoutFriendlyName(category, family[i], nullptr,
                                                                       setup, MERIT_DO_NOT_USE));
        }
    }
    return S_OK;
}

HRESULT UnregisterAllDevices() {
    for (int i = 0; i < kMaxDevicesPerKind; ++i) {
        RETURN_IF_FAILED(
            UnregisterDeviceInstance(CLSID_VideoInputDeviceCategory, kCameraClsids[i], nullptr));
        RETURN_IF_FAILED(
            UnregisterDeviceInstance(CLSID_AudioInputDeviceCategory, kMicrophoneClsids[i], nullptr));
    }
    return S_OK;
}

}  // namespace

DeviceSet LoadDeviceSet() {
    std::wstring text;
    DeviceSet set;
    std::string error;
    if (!ReadStoredText(&text) || !ParseDeviceSet(ToUtf8(text.c_str()), &set, &error)) {
        return DefaultDeviceSet();
    }
    return set;
}

HRESULT InstallDeviceSet(LPCWSTR text) {
    if (!text) text = L"default";
    DeviceSet set;
    std::string error;
    if (!ParseDeviceSet(ToUtf8(text), &set, &error)) {
        OutputDebugStringA(("TestDevices: " + error + "\n").c_str());
        return E_INVALIDARG;
    }
    RETURN_IF_FAILED(UnregisterAllDevices());
    RETURN_IF_FAILED(StoreText(text));
    RETURN_IF_FAILED(RegisterDevices(set.cameras, CLSID_VideoInputDeviceCategory, kCameraClsids,
                                     &kCameraSetup));
    return RegisterDevices(set.microphones, CLSID_AudioInputDeviceCategory, kMicrophoneClsids,
                           &kMicrophoneSetup);
}

HRESULT RemoveDeviceSet() {
    RETURN_IF_FAILED(UnregisterAllDevices());
    const LONG err = RegDeleteKeyValueW(HKEY_CURRENT_USER, kStoreKey, kConfigValue);
    return err == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(err);
}

}  // namespace test_devices
