#pragma once
// Bringing module files into the module table, from the file dialog or from a drop on
// the list. Nothing reaches the disk here: rows only record what Apply will deploy.
#include <string>
#include <vector>

class ModuleTable;

// Heading of the message that names refused 32-bit modules; one "[%d]. %s\n" line each follows.
inline constexpr wchar_t k32BitMessageHeading[] = L"아래 모듈은 32Bit이므로 Load할수 없습니다.\n";

enum class IntakeResult {
    Added,         // a new "추가" row
    Replaced,      // an existing row marked "교체"
    Refreshed,     // a pending "추가" row now points at the newer file
    Refused32Bit,  // a 32-bit image: no row, the file name went to the refused list
};

// Intake of one file at full path `path` named `fileName`. With checkMachine, a file the
// PE check classifies as 32-bit is appended to refused32Bit and makes no row; a file it
// cannot classify is taken like a 64-bit one.
IntakeResult IntakeModuleFile(ModuleTable& table, const std::wstring& path, const std::wstring& fileName,
                              bool checkMachine, std::vector<std::wstring>& refused32Bit);

// The message naming the refused files, numbered from 1; empty when none was refused.
std::wstring Format32BitMessage(const std::vector<std::wstring>& refused32Bit);

// Whether the file name of path ends in the extension ".dll", ignoring case.
bool HasDllExtension(const std::wstring& path);

// Files picked in the file dialog, in the dialog's order. Returns the 32-bit message to
// show once (empty when nothing was refused).
std::wstring IntakeSelectedFiles(ModuleTable& table, const std::vector<std::wstring>& paths);

// Files dropped on the list, in drop order: names without the ".dll" extension are
// skipped silently, 32-bit images refused as in the file dialog. Returns the message.
std::wstring IntakeDroppedFiles(ModuleTable& table, const std::vector<std::wstring>& paths);
