#include "capture_app/cam_manage.h"

#include <cstdlib>

#include "app_toolkit/ansi_text.h"
#include "app_toolkit/ini_file.h"
#include "app_toolkit/module_paths.h"
#include "app_toolkit/read_ini_string.h"
#include "capture_app/config_keys.h"
#include "capture_app/device_names.h"
#include "capture_app/video_sizes.h"
#include "capture_engine/korvel.h"

CCamManage g_CamManage;

namespace {

constexpr size_t kValueBytes = 200;
constexpr size_t kPathBytes = MAX_PATH;

void FillNames(const wchar_t* buffer, CStringArray* names) {
    for (const std::wstring& name : SplitDeviceNames(buffer, KORVEL_DEVICE_LIST_UNITS)) names->Add(CString(name));
}

}  // namespace

CCamManage::CCamManage() : m_strWorkPath(GetModuleDir() + L"\\Capture") {}

CCamManage::~CCamManage() = default;

void CCamManage::ReadConfig(const CString& iniPath) {
    CIniFile ini(WideToAnsiFitting(iniPath, kPathBytes));
    if (!ini.Load()) return;
    char value[kValueBytes];
    ini.GetValue(kConfigWorkPath, kConfigSection, value);
    if (value[0]) m_strWorkPath = AnsiToWide(value);
    const struct { const char* key; int* member; } numbers[] = {
        {kConfigImageType, &m_nImageType},   {kConfigJpegQuality, &m_nJpegQuality},
        {kConfigLastPage, &m_nLastPage},     {kConfigAutoSnapType, &m_nAutoSnapType},
        {kConfigRecType, &m_nRecType},       {kConfigMpegQuality, &m_nMpegQuality},
        {kConfigCaptureAudio, &m_bCaptureAudio},
    };
    for (const auto& number : numbers) {
        ini.GetValue(number.key, kConfigSection, value);
        if (value[0]) *number.member = std::atoi(value);
    }
}

bool CCamManage::WriteConfig(const CString& iniPath) const {
    CIniFile ini(WideToAnsiFitting(iniPath, kPathBytes));
    ini.SetValue(WideToAnsiFitting(m_strWorkPath, kValueBytes), kConfigSection, kConfigWorkPath);
    const struct { const char* key; int value; } numbers[] = {
        {kConfigImageType, m_nImageType},   {kConfigJpegQuality, m_nJpegQuality},
        {kConfigLastPage, m_nLastPage},     {kConfigAutoSnapType, m_nAutoSnapType},
        {kConfigRecType, m_nRecType},       {kConfigMpegQuality, m_nMpegQuality},
        {kConfigCaptureAudio, m_bCaptureAudio},
    };
    for (const auto& number : numbers) ini.SetValue(std::to_string(number.value), kConfigSection, number.key);
    return ini.Save();
}

void CCamManage::LoadResourceStrings(const CString& iniPath) {
    for (int slot = 0; slot < kTextSlotCount; ++slot) {
        const TextSlotKey source = TextSlotSource(slot);
        ReadIniString(iniPath, source.section, source.key, m_texts[slot]);
    }
}

const CString& CCamManage::GetText(TextSlot slot) const {
    static const CString kNone;
    return slot >= 0 && slot < kTextSlotCount ? m_texts[slot] : kNone;
}

const CString& CCamManage::GetText(const char* section, const char* key) const {
    return GetText(static_cast<TextSlot>(FindTextSlot(section, key)));
}

CStringArray& CCamManage::GetVideoDevices() {
    m_videoDevices.RemoveAll();
    unsigned short count = 0;
    wchar_t names[KORVEL_DEVICE_LIST_UNITS] = {};
    ::GetCaptureVideoDev(&count, names);
    if (count != 0) FillNames(names, &m_videoDevices);
    return m_videoDevices;
}

CStringArray& CCamManage::GetAudioDevices() {
    m_audioDevices.RemoveAll();
    unsigned short count = 0;
    wchar_t names[KORVEL_DEVICE_LIST_UNITS] = {};  // an empty category leaves it untouched
    ::GetCaptureAudioDev(&count, names);
    FillNames(names, &m_audioDevices);
    return m_audioDevices;
}

void CCamManage::OpenVideoDevice(int index) {
    m_nCurVideoDevice = index;
    ::SetVideoDevice(index);
    ::DeleteVideoDevice();
    ::RunPreview();
    m_sizes.RemoveAll();
    int count = 0;
    tag_VideoSize sizes[kSizeListCapacity] = {};
    ::GetVideoSize(&count, &m_nCurSizeIndex, sizes);
    const size_t usable = UsableSizeCount(count);
    for (size_t i = 0; i < usable; ++i) m_sizes.Add(sizes[i]);
}

void CCamManage::SelectAudioDevice(int index) {
    m_nCurAudioDevice = index;
    ::SetAudioDevice(index);
}

bool CCamManage::SelectVideoSize(int index) {
    const tag_VideoSize* size = SizeAt(index);
    if (!size) return false;
    m_nCurSizeIndex = index;
    ::SetVideoSize(size);
    return true;
}

BOOL CCamManage::SetInterpolatedSize(const tag_VideoSize& outputSize) {
    const tag_VideoSize native{m_nMaxWidth, m_nMaxHeight};
    return ::SetVideoSizeEx(&native, &outputSize);
}

const tag_VideoSize* CCamManage::SizeAt(int index) const {
    return IsSizeIndex(index, static_cast<size_t>(m_sizes.GetSize())) ? &m_sizes.GetData()[index] : nullptr;
}

BOOL CCamManage::CaptureBitmap(const CString& fileName, BOOL bitmap, int quality) {
    return ::CaptureBitmap(fileName, bitmap ? 1 : 0, quality);
}

BOOL CCamManage::StartRecord(const CString& fileName) {
    return ::RunRecord(fileName, m_nRecType, m_nMpegQuality, m_bCaptureAudio);
}

BOOL CCamManage::StopRecord() { return ::StopRecord(); }

BOOL CCamManage::ShowVideoPropertyPage(HWND owner) { return ::ShowVideoCpaturePropertyPage(owner); }

BOOL CCamManage::ShowAudioPropertyPage(HWND owner) { return ::ShowAudioCapturePropertyPage(owner); }
