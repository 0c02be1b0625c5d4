// CSnaporyApp: loads config.ini and the Resource.ini texts, starts the
// capture engine, runs the main dialog modally, and on the way out saves the
// settings and shuts the engine down.
#pragma once

#include "dialog_framework/application.h"

class CSnaporyApp : public CWinApp {
public:
    CSnaporyApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
};

extern CSnaporyApp theApp;
