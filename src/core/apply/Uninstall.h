#pragma once
// Removing installed modules: each module's lines leave the menu file (every other byte
// stays) and its DLL and pictures leave the add-in folder, through the journal, so the
// removal is all or nothing and can be undone.
#include <string>
#include <vector>

#include "core/apply/Apply.h"

struct UninstallOutcome {
    ApplyResult result = ApplyResult::Applied;  // Applied, NoHost or MenuFileNotWritable
    MenuFailure menuFailure = MenuFailure::None;
    std::vector<std::wstring> removed;       // the modules removed, by DLL file name
    std::vector<std::wstring> notInstalled;  // the names asked for that name no installed module
    std::vector<FailedCopy> failed;          // files that could not be removed: nothing was
    std::vector<std::wstring> written;       // full paths of the files removed, then the menu file
};

// Removes the modules the names name (as RowNamesModule reads them).
UninstallOutcome UninstallModules(const std::wstring& addInFolder, const std::vector<std::wstring>& names);
