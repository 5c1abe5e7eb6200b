#include <windows.h>

#include "app/TQ2ZULSetupApp.h"

CTQ2ZULSetupApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return AfxWinMain();
}
