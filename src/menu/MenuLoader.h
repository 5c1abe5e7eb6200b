#pragma once
// Rebuilds the module table and its list from the menu file in the add-in folder.
#include <string>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"

// Empties the table and the list, then makes one loaded row per menu entry, in file
// order, with the module name and version read from the installed DLL, and marks every
// catalogue name an entry uses (by module name or DLL file name) present. A missing or
// unreadable menu file, or an empty add-in folder, leaves the list empty.
void LoadMenuFile(const std::wstring& addInFolder, ModuleTable& table, ModuleCatalogue& catalogue);
