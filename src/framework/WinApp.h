#pragma once
// The application object: one per process, whose InitInstance the process entry calls.
#include <string>

#include "framework/Wnd.h"

class CWinAppEx {
public:
    CWinAppEx();
    virtual ~CWinAppEx();
    CWinAppEx(const CWinAppEx&) = delete;
    CWinAppEx& operator=(const CWinAppEx&) = delete;

    // Runs the application; the process ends when it returns FALSE (there is no
    // message loop beyond the one of a modal dialog).
    virtual BOOL InitInstance() { return TRUE; }
};

// The application object, or null before it is constructed.
CWinAppEx* AfxGetApp();
// The executable's file name without folder and extension: the caption of message boxes.
std::wstring AfxGetAppName();
// The process entry's work: InitInstance of the application object. Returns the
// process exit code.
int AfxWinMain();
