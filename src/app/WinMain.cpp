#include <windows.h>

#include "app/TQ2ZULSetupApp.h"
#include "platform/SystemLibrary.h"

CTQ2ZULSetupApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    RestrictDllSearchToSystemFolder();
    return AfxWinMain();
}
