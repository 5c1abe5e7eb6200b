#include "core/table/ModuleTable.h"

#include "core/table/CiStCStringArray.h"

void ModuleTable::AppendRow(const ModuleRow& row, const std::wstring& version)
{
    rows_.push_back({row, {row.moduleName, row.menuName, version}});
}

int ModuleTable::FindByModuleName(const std::wstring& moduleName) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (EqualsNoCase(GetRow(i).moduleName, moduleName))
            return i;
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
