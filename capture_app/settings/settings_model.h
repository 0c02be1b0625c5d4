// The part of CCamManage the settings pages read and write, in the pages'
// terms. Everything here acts on the one global CCamManage object; nothing
// reaches config.ini before the application exits.
#pragma once

#include <windows.h>

#include "dialog_framework/typed_arrays.h"
#include "dialog_framework/wide_string.h"

#include "capture_app/settings/settings_rules.h"

struct SnapSettings {
    int imageType = 0;  // 0 JPEG, else BMP
    int jpegQuality = 80;
    int selfTimerType = 0;  // 0 ten seconds, else twenty
};

struct RecordSettings {
    int recordType = 0;  // 1 AVI, else MPEG
    int mpegQuality = 1;
    int captureAudio = 0;
};

// A Resource.ini text slot; empty when the file or the key is missing.
CString SettingsText(const char* section, const char* key);

SnapSettings ReadSnapSettings();
void WriteSnapSettings(const SnapSettings& settings);
RecordSettings ReadRecordSettings();
void WriteRecordSettings(const RecordSettings& settings);

int StoredLastPage();
void StoreLastPage(int page);

// Device names as the engine lists them now.
CStringArray ListVideoDevices();
CStringArray ListAudioDevices();
int CurrentVideoDevice();
int CurrentAudioDevice();
// Makes the audio device current and hands it to the engine.
void SelectAudioDevice(int index);
// The capture devices' own property pages, owned by `owner`; they act at once.
void ShowVideoDeviceProperties(HWND owner);
void ShowAudioDeviceProperties(HWND owner);

CString WorkPath();
void SetWorkPath(const CString& path);

bool InterpolationEnabled();
void SetInterpolationEnabled(bool enabled);
int InterpolationSizeIndex();
void SetInterpolationSizeIndex(int index);
// The converted preview: the largest native size enlarged to `size`.
void StartConvertedPreview(const settings_rules::InterpolationSize& size);
// Back to the native size in use before.
void ReturnToNativeSize();
