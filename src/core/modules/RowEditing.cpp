#include "core/modules/RowEditing.h"

#include <algorithm>

#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleTable.h"

std::vector<int> DeleteSelectedRows(ModuleTable& table, std::vector<int> selected)
{
    std::sort(selected.rbegin(), selected.rend());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    std::vector<int> removed;
    for (int i : selected) {
        if (i < 0 || i >= table.GetCount() || EqualsNoCase(table.GetRow(i).dllFileName, kProtectedModuleFile))
            continue;
        table.RemoveRow(i);
        removed.push_back(i);
    }
    return removed;
}

CellEditDecision StoreEditedMenuName(ModuleTable& table, int row, int column, const std::wstring& text)
{
    if (column != kColumnMenuName || row < 0 || row >= table.GetCount())
        return CellEditDecision::Ignored;
    if (text.empty())
        return CellEditDecision::RefusedEmpty;
    table.SetMenuName(row, text);
    return CellEditDecision::Stored;
}
