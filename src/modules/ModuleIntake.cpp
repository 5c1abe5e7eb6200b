#include "modules/ModuleIntake.h"

#include <windows.h>

#include "app/CiStCStringArray.h"
#include "app/ModuleName.h"
#include "app/ModuleTable.h"
#include "menu/Deploy.h"
#include "modules/CiStFileInformation.h"
#include "modules/ModuleMachine.h"
#include "platform/LongPath.h"

IntakeResult IntakeModuleFile(ModuleTable& table, const std::wstring& path, const std::wstring& fileName,
                              bool checkMachine, std::vector<std::wstring>& refused32Bit)
{
    if (checkMachine) {
        int is64Bit = 1;
        if (CheckModuleMachine(path, is64Bit) && is64Bit == 0) {
            refused32Bit.push_back(fileName);
            return IntakeResult::Refused32Bit;
        }
    }
    const CiStFileInformation info(path);
    const ModuleRow added{kStatusAdded, fileName, kModulePrefix + info.GetInternalName(), info.GetFileDescription(),
                          path};
    const std::wstring version = info.GetProductVersion();

    const int r = table.FindByModuleName(added.moduleName);
    if (r == -1) {
        table.AppendAddedRow(added, version);
        return IntakeResult::Added;
    }
    // A module not installed yet stays an addition: marking it replaced would copy its
    // files at Apply but never give it a menu entry.
    if (EqualsNoCase(table.status.GetAt(r), kStatusAdded)) {
        table.RefreshAdded(r, added, version);
        return IntakeResult::Refreshed;
    }
    table.MarkReplaced(r, path, added.moduleName, added.menuName, version);
    return IntakeResult::Replaced;
}

std::wstring Format32BitMessage(const std::vector<std::wstring>& refused32Bit)
{
    if (refused32Bit.empty())
        return {};
    std::wstring text = k32BitMessageHeading;
    for (size_t i = 0; i < refused32Bit.size(); ++i)
        text += L"[" + std::to_wstring(i + 1) + L"]. " + refused32Bit[i] + L"\n";
    return text;
}

bool HasDllExtension(const std::wstring& path)
{
    // As the shell finds an extension: the last "." of the file name, with no space after it.
    const std::wstring name = FileNameOf(path);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || name.find(L' ', dot) != std::wstring::npos)
        return false;
    return EqualsNoCase(name.substr(dot), L".dll");
}

std::wstring IntakeSelectedFiles(ModuleTable& table, const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> refused;
    for (const std::wstring& path : paths)
        IntakeModuleFile(table, path, FileNameOf(path), true, refused);
    return Format32BitMessage(refused);
}

namespace {

// A dropped folder may carry a module-like name; it is still no module file.
bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::wstring IntakeDroppedFiles(ModuleTable& table, const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> refused;
    for (const std::wstring& path : paths)
        if (HasDllExtension(path) && !IsFolder(path))
            IntakeModuleFile(table, path, FileNameOf(path), true, refused);
    return Format32BitMessage(refused);
}
