#pragma once
// Bringing module files into the module table, from the file dialog or from a drop on
// the list. Nothing reaches the disk here: rows only record what Apply will deploy.
#include <string>
#include <vector>

class ModuleTable;

enum class IntakeResult {
    Added,         // a new "added" row
    Replaced,      // an installed row marked replaced
    Refreshed,     // a pending addition now points at the newer file
    Refused32Bit,  // a 32-bit image: no row, the file name went to the refused list
};

// Intake of one file at full path `path`. A file the PE check classifies as 32-bit is
// appended (by file name) to refused32Bit and makes no row; a file it cannot classify
// is taken like a 64-bit one.
IntakeResult IntakeModuleFile(ModuleTable& table, const std::wstring& path, std::vector<std::wstring>& refused32Bit);

// Whether the file name of path ends in the extension ".dll", ignoring case.
bool HasDllExtension(const std::wstring& path);

// Files picked in the file dialog, in the dialog's order. Returns the names of the
// refused 32-bit files, to be told once.
std::vector<std::wstring> IntakeSelectedFiles(ModuleTable& table, const std::vector<std::wstring>& paths);

// Files dropped on the list, in drop order: folders and names without the ".dll"
// extension are skipped silently, 32-bit images refused as in the file dialog.
std::vector<std::wstring> IntakeDroppedFiles(ModuleTable& table, const std::vector<std::wstring>& paths);
