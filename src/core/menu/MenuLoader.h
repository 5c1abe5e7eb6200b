#pragma once
// Rebuilds the module table from the menu file in the add-in folder.
#include <string>

#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleTable.h"

// Empties the table, then makes one loaded row per menu entry, in file order, with the
// module name and version read from the installed DLL, and marks every catalogue name
// an entry uses (by module name or DLL file name) present. A missing or unreadable menu
// file, or an empty add-in folder, leaves the table empty.
void LoadMenuFile(const std::wstring& addInFolder, ModuleTable& table, ModuleCatalogue& catalogue);
