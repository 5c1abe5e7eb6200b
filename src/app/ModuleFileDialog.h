#pragma once
// The multi-selection open dialog through which the user picks module files.
#include <windows.h>

#include <string>

#include "core/table/Array.h"


// Opens the dialog in initialFolder ("/" taken as "\"). Fills the full paths and the
// folders of the selected files, in the order the dialog returns them.
// Returns the number of files, or -1 when the dialog was not confirmed.
int SelectModuleFiles(HWND owner, std::wstring initialFolder, const std::wstring& filter, CStringArray& paths,
                      CStringArray& folders);
