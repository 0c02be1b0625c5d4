// COrvaneApp: one instance only (mutex "Lumivox"); asks for the camera,
// starts the virtual webcam engine on it at 320 x 240 and runs the panel.
#pragma once

#include "dialog_framework/application.h"

class COrvaneApp : public CWinApp {
public:
    COrvaneApp();

    BOOL InitInstance() override;

private:
    HANDLE m_hMutex = nullptr;  // open for the life of the process
};

extern COrvaneApp theApp;
