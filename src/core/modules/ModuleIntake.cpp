#include "core/modules/ModuleIntake.h"

#include "core/modules/CiStFileInformation.h"
#include "core/modules/ModuleMachine.h"
#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleName.h"
#include "core/table/ModuleTable.h"
#include "platform/Paths.h"

IntakeResult IntakeModuleFile(ModuleTable& table, const std::wstring& path, std::vector<std::wstring>& refused32Bit)
{
    int is64Bit = 1;
    if (CheckModuleMachine(path, is64Bit) && is64Bit == 0) {
        refused32Bit.push_back(FileNameOf(path));
        return IntakeResult::Refused32Bit;
    }
    const CiStFileInformation info(path);
    const ModuleRow added{RowStatus::Added, FileNameOf(path), kModulePrefix + info.GetInternalName(),
                          info.GetFileDescription(), path};
    const std::wstring version = info.GetProductVersion();

    const int r = table.FindOrRestoreModule(added.moduleName);
    if (r == -1) {
        table.AppendRow(added, version);
        return IntakeResult::Added;
    }
    // A module not installed yet stays an addition: marking it replaced would copy its
    // files at Apply but never give it a menu entry.
    if (table.GetRow(r).status == RowStatus::Added) {
        table.RefreshAdded(r, added, version);
        return IntakeResult::Refreshed;
    }
    table.MarkReplaced(r, path, {added.moduleName, added.menuName, version});
    return IntakeResult::Replaced;
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

std::vector<std::wstring> IntakeSelectedFiles(ModuleTable& table, const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> refused;
    for (const std::wstring& path : paths)
        IntakeModuleFile(table, path, refused);
    return refused;
}

std::vector<std::wstring> IntakeDroppedFiles(ModuleTable& table, const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> refused;
    for (const std::wstring& path : paths)
        if (HasDllExtension(path) && !IsFolder(path))
            IntakeModuleFile(table, path, refused);
    return refused;
}
