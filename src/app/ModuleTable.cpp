#include "app/ModuleTable.h"

ModuleRow ModuleTable::GetRow(int i) const
{
    return {status.GetAt(i), dllFileName.GetAt(i), moduleName.GetAt(i), menuName.GetAt(i), sourcePath.GetAt(i)};
}

void ModuleTable::Clear()
{
    list_.DeleteAllItems();
    status.SetSize(0);
    dllFileName.SetSize(0);
    moduleName.SetSize(0);
    menuName.SetSize(0);
    sourcePath.SetSize(0);
}

void ModuleTable::AppendLoadedRow(const ModuleRow& row, const std::wstring& version)
{
    status.Add(row.status);
    dllFileName.Add(row.dllFileName);
    menuName.Add(row.menuName);
    sourcePath.Add(row.sourcePath);
    moduleName.Add(row.moduleName);
    InsertListRow(row, version);
}

void ModuleTable::AppendAddedRow(const ModuleRow& row, const std::wstring& version)
{
    status.Add(row.status);
    dllFileName.Add(row.dllFileName);
    moduleName.Add(row.moduleName);
    menuName.Add(row.menuName);
    sourcePath.Add(row.sourcePath);
    InsertListRow(row, version);
}

void ModuleTable::MarkReplaced(int r, const std::wstring& newSourcePath, const std::wstring& newModuleName,
                               const std::wstring& newDescription, const std::wstring& newVersion)
{
    status.SetAt(r, kStatusReplaced);
    sourcePath.SetAt(r, newSourcePath);
    ShowListRow(r, kStatusReplaced, newModuleName, newDescription, newVersion);
}

void ModuleTable::RefreshAdded(int r, const ModuleRow& row, const std::wstring& version)
{
    status.SetAt(r, row.status);
    dllFileName.SetAt(r, row.dllFileName);
    moduleName.SetAt(r, row.moduleName);
    menuName.SetAt(r, row.menuName);
    sourcePath.SetAt(r, row.sourcePath);
    ShowListRow(r, row.status, row.moduleName, row.menuName, version);
}

void ModuleTable::RemoveRow(int r)
{
    status.RemoveAt(r);
    dllFileName.RemoveAt(r);
    moduleName.RemoveAt(r);
    menuName.RemoveAt(r);
    sourcePath.RemoveAt(r);
    list_.DeleteItem(r);
}

void ModuleTable::InsertListRow(const ModuleRow& row, const std::wstring& version)
{
    int n = list_.InsertItem(list_.GetItemCount(), row.status);
    list_.SetItemText(n, kColumnModuleName, row.moduleName);
    list_.SetItemText(n, kColumnMenuName, row.menuName);
    list_.SetItemText(n, kColumnVersion, version);
}

void ModuleTable::ShowListRow(int r, const std::wstring& statusText, const std::wstring& module,
                              const std::wstring& menu, const std::wstring& version)
{
    list_.SetItem(r, statusText);
    list_.SetItemText(r, kColumnModuleName, module);
    list_.SetItemText(r, kColumnMenuName, menu);
    list_.SetItemText(r, kColumnVersion, version);
}
