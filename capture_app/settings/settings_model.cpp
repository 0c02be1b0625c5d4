#include "capture_app/settings/settings_model.h"

#include "capture_app/cam_manage.h"

CString SettingsText(const char* section, const char* key) { return g_CamManage.GetText(section, key); }

SnapSettings ReadSnapSettings() {
    return SnapSettings{g_CamManage.m_nImageType, g_CamManage.m_nJpegQuality, g_CamManage.m_nAutoSnapType};
}

void WriteSnapSettings(const SnapSettings& settings) {
    g_CamManage.m_nImageType = settings.imageType;
    g_CamManage.m_nJpegQuality = settings.jpegQuality;
    g_CamManage.m_nAutoSnapType = settings.selfTimerType;
}

RecordSettings ReadRecordSettings() {
    return RecordSettings{g_CamManage.m_nRecType, g_CamManage.m_nMpegQuality, g_CamManage.m_bCaptureAudio};
}

void WriteRecordSettings(const RecordSettings& settings) {
    g_CamManage.m_nRecType = settings.recordType;
    g_CamManage.m_nMpegQuality = settings.mpegQuality;
    g_CamManage.m_bCaptureAudio = settings.captureAudio;
}

int StoredLastPage() { return g_CamManage.m_nLastPage; }

void StoreLastPage(int page) { g_CamManage.m_nLastPage = page; }

CStringArray ListVideoDevices() { return g_CamManage.GetVideoDevices(); }

CStringArray ListAudioDevices() { return g_CamManage.GetAudioDevices(); }

int CurrentVideoDevice() { return g_CamManage.m_nCurVideoDevice; }

int CurrentAudioDevice() { return g_CamManage.m_nCurAudioDevice; }

void SelectAudioDevice(int index) { g_CamManage.SelectAudioDevice(index); }

void ShowVideoDeviceProperties(HWND owner) { g_CamManage.ShowVideoPropertyPage(owner); }

void ShowAudioDeviceProperties(HWND owner) { g_CamManage.ShowAudioPropertyPage(owner); }

CString WorkPath() { return g_CamManage.GetWorkPath(); }

void SetWorkPath(const CString& path) { g_CamManage.SetWorkPath(path); }

bool InterpolationEnabled() { return g_CamManage.m_bInterpolation != 0; }

void SetInterpolationEnabled(bool enabled) { g_CamManage.m_bInterpolation = enabled ? 1 : 0; }

int InterpolationSizeIndex() { return g_CamManage.m_nInterpolationIndex; }

void SetInterpolationSizeIndex(int index) { g_CamManage.m_nInterpolationIndex = index; }

void StartConvertedPreview(const settings_rules::InterpolationSize& size) {
    g_CamManage.SetInterpolatedSize(tag_VideoSize{size.width, size.height});
}

// The current size index is still the native size in use before enlarging.
void ReturnToNativeSize() { g_CamManage.SelectVideoSize(g_CamManage.m_nCurSizeIndex); }
