// CCamManage: Snapory's one model object. It holds the settings kept in
// config.ini, the interface texts of Resource.ini, the device and size lists
// with the current choices, and wraps the capture engine's exports that the
// dialogs need. The single instance is the global g_CamManage, constructed
// before the application's InitInstance; everything runs on the UI thread.
#pragma once

#include <windows.h>

#include "capture_app/text_slots.h"
#include "capture_engine/video_size_record.h"
#include "dialog_framework/typed_arrays.h"
#include "dialog_framework/wide_string.h"

class CCamManage {
public:
    CCamManage();
    virtual ~CCamManage();
    CCamManage(const CCamManage&) = delete;
    CCamManage& operator=(const CCamManage&) = delete;

    // --- config.ini and Resource.ini (files named with their full path) ---
    // Applies the eight keys of section "config"; a missing file or key keeps
    // the value held.
    void ReadConfig(const CString& iniPath);
    // Rewrites the file with exactly the eight keys; false when it cannot be written.
    bool WriteConfig(const CString& iniPath) const;
    // Fills every text slot that the file has a value for.
    void LoadResourceStrings(const CString& iniPath);

    // An interface text; empty when Resource.ini had none.
    const CString& GetText(TextSlot slot) const;
    // The same by Resource.ini's section and key; empty for an unknown pair.
    const CString& GetText(const char* section, const char* key) const;

    // --- devices ---
    // Re-read from the engine each call.
    CStringArray& GetVideoDevices();
    CStringArray& GetAudioDevices();
    // Builds a fresh preview graph for the device and reloads the size list;
    // the caller attaches and runs it (SetPlayWindow, SetWindowPosition, RunGraph).
    void OpenVideoDevice(int index);
    // Makes the audio device current and hands it to the engine.
    void SelectAudioDevice(int index);

    // --- sizes ---
    // Makes the index current and sets that size; false for an index outside the list.
    bool SelectVideoSize(int index);
    // The enlarged snapshot size of the other-settings page, over the largest native size.
    BOOL SetInterpolatedSize(const tag_VideoSize& outputSize);
    // The size list entry, or nullptr outside the list.
    const tag_VideoSize* SizeAt(int index) const;

    // --- capture (engine results passed on, callers mostly ignore them) ---
    BOOL CaptureBitmap(const CString& fileName, BOOL bitmap, int quality);
    BOOL StartRecord(const CString& fileName);  // with the recording settings held
    BOOL StopRecord();
    BOOL ShowVideoPropertyPage(HWND owner);
    BOOL ShowAudioPropertyPage(HWND owner);

    CString GetWorkPath() const { return m_strWorkPath; }
    void SetWorkPath(const CString& path) { m_strWorkPath = path; }

    // Largest entry of the size list (FillSizeCombo), for SetVideoSizeEx.
    int m_nMaxWidth = 0;
    int m_nMaxHeight = 0;
    // Other-settings page; never saved.
    int m_bInterpolation = 0;
    int m_nInterpolationIndex = 0;

    CString m_texts[kTextSlotCount];

    // Persisted in config.ini under the key named beside each.
    CString m_strWorkPath;     // "workpath", default GetModuleDir() + "\Capture"
    int m_nImageType = 0;      // "ImageType": 0 JPEG, else BMP
    int m_nJpegQuality = 80;   // "JPEGQuality": 0-100
    int m_nLastPage = 0;       // "LastPage": 0-3
    int m_nAutoSnapType = 0;   // "AutoSnapType": 0 10 s, else 20 s
    int m_nRecType = 0;        // "RecType": 1 AVI, else MPEG
    int m_nMpegQuality = 1;    // "MpegQuality": 0-2
    int m_nCurSizeIndex = 0;   // written by the engine (GetVideoSize); not saved
    int m_bCaptureAudio = 0;   // "bCaptureAudio": 0 or 1

    CStringArray m_videoDevices;
    CStringArray m_audioDevices;
    CArray<tag_VideoSize, tag_VideoSize> m_sizes;
    int m_nCurVideoDevice = 0;
    int m_nCurAudioDevice = 0;
};

extern CCamManage g_CamManage;
