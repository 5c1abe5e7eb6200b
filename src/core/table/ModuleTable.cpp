#include "core/table/ModuleTable.h"

#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleName.h"

namespace {

bool SameModule(const ModuleRow& row, const std::wstring& moduleName)
{
    return moduleName != kModulePrefix && EqualsNoCase(row.moduleName, moduleName);
}

}  // namespace

bool RowNamesModule(const ModuleRow& row, const std::wstring& name)
{
    for (const std::wstring& candidate : {name, name + L".dll", kModulePrefix + name + L".dll", kModulePrefix + name})
        if (SameModule(row, candidate) || EqualsNoCase(row.dllFileName, candidate))
            return true;
    return false;
}

void ModuleTable::Clear()
{
    rows_.clear();
    installed_.clear();
}

void ModuleTable::AppendRow(const ModuleRow& row, const std::wstring& version)
{
    rows_.push_back({row, {row.moduleName, row.menuName, version}});
    if (row.status == RowStatus::Loaded)
        installed_.push_back(row);
}

int ModuleTable::FindByModuleName(const std::wstring& moduleName) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (SameModule(GetRow(i), moduleName))
            return i;
    return -1;
}

int ModuleTable::FindOrRestoreModule(const std::wstring& moduleName)
{
    const int shown = FindByModuleName(moduleName);
    if (shown != -1)
        return shown;
    for (const ModuleRow& row : installed_) {
        if (SameModule(row, moduleName)) {
            rows_.push_back({row, {row.moduleName, row.menuName, L""}});
            return GetCount() - 1;
        }
    }
    return -1;
}

void ModuleTable::MarkReplaced(int r, const std::wstring& newSourcePath, const ShownCells& newFile)
{
    Entry& entry = At(r);
    entry.row.status = RowStatus::Replaced;
    entry.row.sourcePath = newSourcePath;
    entry.shown = newFile;
}

void ModuleTable::RefreshAdded(int r, const ModuleRow& row, const std::wstring& version)
{
    At(r) = {row, {row.moduleName, row.menuName, version}};
}

void ModuleTable::SetMenuName(int r, const std::wstring& name)
{
    Entry& entry = At(r);
    entry.row.menuName = name;
    entry.shown.menuName = name;
}

void ModuleTable::RemoveRow(int r)
{
    At(r);
    rows_.erase(rows_.begin() + r);
}
