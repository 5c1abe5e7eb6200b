#include "framework/WinApp.h"

#include <iterator>

namespace {

CWinAppEx* g_app = nullptr;

}  // namespace

CWinAppEx::CWinAppEx()
{
    g_app = this;
}

CWinAppEx::~CWinAppEx()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinAppEx* AfxGetApp()
{
    return g_app;
}

std::wstring AfxGetAppName()
{
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring name(path, n < std::size(path) ? n : 0);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    if (auto dot = name.find_last_of(L'.'); dot != std::wstring::npos)
        name.erase(dot);
    return name;
}

int AfxWinMain()
{
    CWinAppEx* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    try {
        app->InitInstance();
    } catch (...) {
        OutputDebugStringW(L"TQ2ZULSetup: InitInstance ended by an exception\n");
        return 1;
    }
    return 0;
}
