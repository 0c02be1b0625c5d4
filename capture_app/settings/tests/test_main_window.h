// The window the settings dialog is run from in the tests, in place of the
// main dialog: it starts the camera preview in itself, has the record button
// (1007) and size combo (1019) that the other page switches, and counts the
// StartDevice and FillSizeCombo calls the device page makes. It lives on the
// user-interface thread, which owns the engine; the test thread asks it for
// everything through RunOnWindowThread.
#pragma once

#include <functional>

#include "capture_app/settings/settings_dialog.h"
#include "capture_app/settings/settings_host.h"
#include "dialog_framework/framework.h"

class CTestMainWindow : public CWnd, public CSettingsHost {
public:
    static const int kRecordButton = 1007;
    static const int kSizeCombo = 1019;

    CTestMainWindow();
    // A shown top-level window with a preview area and the two controls.
    bool Create();

    void StartDevice(int index) override;
    void FillSizeCombo() override;

    // From any thread: runs `work` on the window's thread and returns after
    // it; false when the thread did not get to it within timeoutMs.
    bool RunOnWindowThread(const std::function<void()>& work, DWORD timeoutMs) const;
    // From any thread: the window's thread opens the settings dialog modally
    // (posted: returns at once).
    void OpenSettings() const;

    // Read on the window's thread.
    int starts = 0;
    int lastStarted = -1;
    int fills = 0;
    bool dialogOpen = false;
    INT_PTR lastResult = 0;

private:
    LRESULT OnRunWork(WPARAM, LPARAM work);
    LRESULT OnOpenSettings(WPARAM, LPARAM);
    RECT PreviewRect() const;

    CComboBox m_sizes;
    CButton m_record;
};
