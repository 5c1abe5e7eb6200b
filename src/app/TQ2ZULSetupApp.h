#pragma once
// The application object: prepares the common controls, runs the setup dialog and
// ends the process when the dialog is closed.
#include "framework/WinApp.h"

class CTQ2ZULSetupApp : public CWinAppEx {
public:
    CTQ2ZULSetupApp() = default;
    ~CTQ2ZULSetupApp() override = default;

    // Always FALSE: closing the dialog ends the process.
    BOOL InitInstance() override;
};
