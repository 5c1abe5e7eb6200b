#pragma once
// Functions of Windows DLLs that are not among the system's known DLLs, loaded from the
// system folder by full path when first needed: importing them would let the loader
// take a same-named DLL from the program's own folder (a downloads folder, say).
#include <windows.h>

#include <winver.h>

struct VersionFunctions {
    decltype(&GetFileVersionInfoSizeW) getFileVersionInfoSize;
    decltype(&GetFileVersionInfoW) getFileVersionInfo;
    decltype(&VerQueryValueW) verQueryValue;
};

// version.dll's functions, or null when it cannot be loaded from the system folder.
const VersionFunctions* SystemVersionFunctions();

// From here on, DLLs the process loads by name come from the system folder only.
// Called first thing at start; does nothing on a Windows that lacks the call.
void RestrictDllSearchToSystemFolder();
