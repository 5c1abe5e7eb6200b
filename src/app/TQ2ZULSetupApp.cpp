#include "app/TQ2ZULSetupApp.h"

#include <commctrl.h>

#include "app/TQ2ZULSetupDlg.h"

BOOL CTQ2ZULSetupApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CTQ2ZULSetupDlg dialog;
    dialog.DoModal();
    return FALSE;
}
